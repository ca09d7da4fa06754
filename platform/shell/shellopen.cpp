#include "shellopen.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

extern char **environ;

namespace quirex::platform
{

namespace
{

// Starts `command` with its standard streams on /dev/null; -1 when it cannot.
pid_t spawn(const QStringList &command)
{
    std::vector<QByteArray> storage;
    for (const QString &word : command)
        storage.push_back(QFile::encodeName(word));
    std::vector<char *> argv;
    for (QByteArray &word : storage)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

} // namespace

QStringList shellOpenCommand(const QString &path)
{
    QString opener = qEnvironmentVariable("QUIREX_OPEN_COMMAND");
    if (opener.isEmpty())
        opener = QStringLiteral("xdg-open");
    return {opener, QFileInfo(path).absoluteFilePath()};
}

int shellOpen(const QString &path, int waitMs)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return ShellFileNotFound;
    const pid_t pid = spawn(shellOpenCommand(path));
    if (pid < 0)
        return ShellNoAssociation;

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return ShellOpened;
            // xdg-open exits with 2 for a missing file and 3 for a missing tool.
            if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
                return ShellFileNotFound;
            return ShellNoAssociation;
        }
        if (done < 0 && errno != EINTR)
            return ShellOpened; // reaped elsewhere; it did start
        if (Clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Still running: the opener runs the application in the foreground.
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return ShellOpened;
}

} // namespace quirex::platform
