// Typing pinyin into a long drop-down chooses as a click would.
#include "ui/pinyintypeahead.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

namespace {

QComboBox *longBox(QComboBox &box, const QStringList &first)
{
    box.addItems(first);
    for (int i = 0; box.count() <= box.maxVisibleItems(); ++i)
        box.addItem(QString("客户%1").arg(i));
    PinyinTypeAhead::install(&box);
    return &box;
}

} // namespace

TEST(PinyinTypeAhead, AnEntryThatBeginsSoComesBeforeOneThatContainsIt)
{
    QComboBox box;
    longBox(box, {"王家", "周晓宇", "张晓燕", "单立新", "北京晓燕家政", "Xylo"});
    const struct {
        const char *typed;
        int row;
    } cases[] = {{"zxy", 1},  {"zhangx", 2}, {"xy", 5},  {"slx", 3}, {"dlx", 3},
                 {"xiaoy", 1}, {"xyl", 5},   {"bj", 4},  {"q", -1}};
    for (const auto &c : cases)
        EXPECT_EQ(PinyinTypeAhead::find(&box, c.typed), c.row) << c.typed;
}

TEST(PinyinTypeAhead, KeysOnTheClosedBoxChooseAndAShortListIsLeftAlone)
{
    QComboBox box;
    longBox(box, {"王家", "周晓宇", "张晓燕"});
    QSignalSpy chosen(&box, &QComboBox::activated);
    box.show();
    QTest::keyClicks(&box, "zha");
    EXPECT_EQ(box.currentIndex(), 2);
    ASSERT_FALSE(chosen.isEmpty());
    EXPECT_EQ(chosen.last().first().toInt(), 2);

    QComboBox few;
    few.addItems({"王家", "张晓燕"});
    PinyinTypeAhead::install(&few);
    few.show();
    QTest::keyClicks(&few, "zxy");
    EXPECT_EQ(few.currentIndex(), 0); // the toolkit's own search finds no "zxy"
}
