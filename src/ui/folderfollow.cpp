#include "ui/folderfollow.h"

namespace {
std::function<void(const QString &)> &follower()
{
    static std::function<void(const QString &)> f;
    return f;
}
} // namespace

void followFolder(const QString &path)
{
    if (follower())
        follower()(path);
}

void setFolderFollower(std::function<void(const QString &)> f)
{
    follower() = std::move(f);
}
