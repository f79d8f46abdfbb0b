// The users' data rules below the windows: what the login may overwrite
// and whose rows a replacement of rights takes.
#include "admin/data/userstore.h"
#include "adminfixture.h"
#include "data/password.h"

namespace {

class UserStoreTest : public AdminFixture
{
protected:
    QString stored(const QString &id) { return one("SELECT Password FROM tblUser WHERE UserID = ?", {id}); }
};

TEST_P(UserStoreTest, AClearPasswordIsReplacedByItsHashOnlyWhileItIsStillStored)
{
    ASSERT_EQ(db().insertRow("tblUser", {{"UserID", "Old"}, {"Password", "plain9"}, {"State", "Yes"}}), "");
    UserStore::User read;
    QString error;
    ASSERT_TRUE(UserStore::findLoginUser(db(), "oLD", &read, &error)) << error.toStdString();
    EXPECT_EQ(read.userId, "Old");
    EXPECT_EQ(read.storedPassword, "plain9");
    EXPECT_TRUE(UserStore::passwordMatches(read.storedPassword, "plain9"));

    // Another workstation sets a new password between the read and the
    // re-hash: its password stays.
    auto other = t->openAnother();
    ASSERT_EQ(UserStore::setPassword(*other, "Old", "new-1"), "");
    const QString changed = stored("Old");
    EXPECT_EQ(UserStore::rehashClearPassword(db(), read, "plain9"), "");
    EXPECT_EQ(stored("Old"), changed);
    EXPECT_TRUE(Password::verify(changed, "new-1"));

    // Still the clear text: replaced by its hash; a hash is left as it is.
    ASSERT_EQ(db().exec("UPDATE tblUser SET Password = 'plain9' WHERE UserID = 'Old'"), "");
    EXPECT_EQ(UserStore::rehashClearPassword(db(), read, "plain9"), "");
    const QString hashed = stored("Old");
    EXPECT_TRUE(Password::isHash(hashed));
    EXPECT_TRUE(Password::verify(hashed, "plain9"));
    ASSERT_TRUE(UserStore::findLoginUser(db(), "Old", &read, &error));
    EXPECT_EQ(UserStore::rehashClearPassword(db(), read, "plain9"), "");
    EXPECT_EQ(stored("Old"), hashed);
}

TEST_P(UserStoreTest, ReplacingRightsTakesTheRowsOfEverySpellingAndWritesOnlyKnownCodes)
{
    // Old data may name the user in another letter case.
    for (const auto &[user, code] : {std::pair{"ZHANG", "101"}, std::pair{"Zhang", "102"}, std::pair{"Li", "101"}})
        ASSERT_EQ(db().insertRow("tblUserRight", {{"UserID", user}, {"RightID", code}}), "");
    UserStore::Right sales{"301", {}};
    sales.ops[UserStore::Modify] = true;
    sales.ops[UserStore::Print] = true;
    const QVector<UserStore::Right> wanted{{"999", {}}, {"502", {}}, sales, {"104", {}}};
    ASSERT_EQ(UserStore::replaceRights(db(), "Zhang", wanted), "");
    EXPECT_EQ(column("SELECT UserID || ':' || RightID FROM tblUserRight WHERE lower(UserID) IN ('zhang', 'li') "
                     "ORDER BY UserID, RightID"),
              QStringList({"Li:101", "Zhang:104", "Zhang:301"}));

    QVector<UserStore::Right> back;
    QString error;
    ASSERT_TRUE(UserStore::readRights(db(), "zhang", &back, &error)) << error.toStdString();
    ASSERT_EQ(back.size(), 2);
    const UserStore::Right &r = back[0].code == "301" ? back[0] : back[1];
    EXPECT_EQ(r.code, "301");
    EXPECT_EQ(r.ops, sales.ops);
    EXPECT_FALSE(db().inTransaction());
}

INSTANTIATE_TEST_SUITE_P(Engines, UserStoreTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
