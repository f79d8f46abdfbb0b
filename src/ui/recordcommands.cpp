#include "ui/recordcommands.h"

#include "data/dataset.h"
#include "data/tablerules.h"
#include "ui/prompts.h"

bool deleteCurrentRecord(Dataset *set, const TableRules *rules, const QString &question)
{
    if (!set->isActive() || set->isEmpty() || set->currentRow() < 0)
        return false;
    if (set->state() == Dataset::State::Insert) {
        set->cancel(); // never stored: nothing to check or ask
        return true;
    }
    if (rules && !rules->keyField.isEmpty() && set->database()) {
        const QString refusal = rules->deleteRefusal(*set->database(), set->storedValue(rules->keyField));
        if (!refusal.isEmpty()) {
            Prompts::instance().warn(refusal);
            return false;
        }
    }
    const QString ask = !question.isEmpty() ? question
        : rules && !rules->deleteQuestion.isEmpty() ? rules->deleteQuestion
                                                    : QStringLiteral("真的要删除该条记录吗?");
    if (!Prompts::instance().askOkCancel(ask, Prompts::Icon::Question))
        return false;
    if (set->isEditing())
        set->cancel();
    if (!set->remove()) {
        Prompts::instance().warn(set->lastError());
        return false;
    }
    return true;
}

bool beginNewRecord(Dataset *set)
{
    if ((!set->isActive() && !set->open()) || !set->append()) {
        Prompts::instance().warn(set->lastError());
        return false;
    }
    return true;
}

bool storeCurrentRecord(Dataset *set, const std::function<void(const QString &field)> &focus)
{
    if (!set->isEditing())
        return true;
    if (set->post())
        return true;
    if (set->lastPostDropped())
        return false;
    Prompts::instance().warn(set->lastError());
    if (focus && !set->lastErrorField().isEmpty())
        focus(set->lastErrorField());
    return false;
}

bool settleRecordInHand(Dataset *set, const QString &question, const std::function<bool()> &checks,
                        const std::function<bool()> &store, const std::function<void()> &giveUp)
{
    if (!set->isEditing())
        return true;
    if (!Prompts::instance().askYesNo(question)) {
        if (giveUp)
            giveUp();
        else
            set->cancel();
        return true;
    }
    if (checks && !checks())
        return false;
    return store ? store() : storeCurrentRecord(set);
}
