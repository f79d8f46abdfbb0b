#include "contacts/data/contactrules.h"

#include "data/session.h"

namespace {
// Whoever stores a contact without a creator becomes it: the contact list
// of an ordinary user shows only the contacts stamped with his code, so an
// unstamped contact would vanish from everybody's list but a system user's.
HookResult stampCreator(Dataset &d)
{
    if (d.isEditing() && d.isBlank(QStringLiteral("SUser")) && Session::current().loggedIn())
        d.setValue(QStringLiteral("SUser"), Session::current().userId());
    return HookResult::proceed();
}
} // namespace

TableRules ContactRules::linkmans()
{
    TableRules r;
    r.table = QStringLiteral("tblLinkmans");
    r.keyField = QStringLiteral("LinkmanID");
    // The customer is judged by the name the screen shows: a code whose
    // customer the user cannot see counts as none.
    r.required = {{"LinkmanID", "请输入联系人代码！"},
                  {"Name", "请输入联系人姓名！"},
                  {"CustID", "请选择输入客户名称！"}};
    r.references = {{"tblOperates", "LinkmanID", "对不起，业务资料有该联系人信息，不能删除！"}};
    r.deleteQuestion = QStringLiteral("您真的要删除该联系人资料吗？");
    // Contacts are kept in the contact window and from the customer window.
    r.rights = {QStringLiteral("302"), QStringLiteral("301")};
    // "保存" stamps a stored contact that never had a creator as well.
    r.saveChecks = {&stampCreator};
    // A new contact stored any other way (the customer window's dialog,
    // moving away) takes its creator too.
    r.beforePost = {[](Dataset &d) {
        return d.state() == Dataset::State::Insert ? stampCreator(d) : HookResult::proceed();
    }};
    return r;
}
