#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

extern char** environ;

namespace kora::test {

// kora_note_holder (KORA_NOTE_HOLDER, built beside the core tests) run as a
// second process that holds one company's note, talked to through pipes.
class HolderProcess
{
public:
    HolderProcess(std::string database, std::string connect, std::string file, std::string sequence)
    {
        int toChild[2];
        int fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
        std::string program = KORA_NOTE_HOLDER;
        char* argv[] = {program.data(), database.data(), connect.data(),
                        file.data(),    sequence.data(), nullptr};
        const int failed = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(toChild[0]);
        close(fromChild[1]);
        m_input = toChild[1];
        m_output = fdopen(fromChild[0], "r");
        if (failed)
            throw std::runtime_error("cannot start " + program);
    }
    HolderProcess(const HolderProcess&) = delete;
    HolderProcess& operator=(const HolderProcess&) = delete;
    ~HolderProcess()
    {
        if (m_pid > 0)
            kill();
        fclose(m_output);
    }

    // A line the holder printed, "(ended)" when it printed no more.
    std::string readLine()
    {
        char line[256];
        if (!fgets(line, sizeof line, m_output))
            return "(ended)";
        return std::string(line, strcspn(line, "\n"));
    }
    void send(const std::string& line)
    {
        const std::string text = line + "\n";
        ASSERT_EQ(write(m_input, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // Ends the process as a crash would, and waits until it is gone.
    void kill()
    {
        ::kill(m_pid, SIGKILL);
        finish();
    }
    int finish()
    {
        close(m_input);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
        return status;
    }

private:
    pid_t m_pid = -1;
    int m_input = -1;
    FILE* m_output = nullptr;
};

} // namespace kora::test
