#include "ui/windowcommand.h"

CommandContext commandContext(const Dataset *set, const QString &windowRight, const WindowCommand &command)
{
    CommandContext c;
    c.state = set && set->isActive() ? set->state() : Dataset::State::Inactive;
    c.hasRows = set && set->isActive() && set->rowCount() > 0;
    c.ops = UserRights::current().ops(command.rightCode.isEmpty() ? windowRight : command.rightCode);
    return c;
}
