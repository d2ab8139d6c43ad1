// Runs the crclist tool as a child process, as a pipeline does, and takes its exit code and
// what it wrote.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct ChildResult {
    int exitCode = -1;  // 128 + the signal's number when a signal ended it; -1 when it hung
    std::string out;
    std::string err;
};

// Runs CRCLIST_EXE with `args`. `onFirstLine`, when given, is called with the child's process
// id once its standard output holds a whole line. With `input`, the child's standard input is
// a pipe that gives it (a small text: it is written before the child is read). A child still
// running after a minute is killed: the test then fails instead of hanging.
inline ChildResult RunCrclist(const std::vector<std::string>& args,
                              const std::function<void(pid_t)>& onFirstLine = nullptr,
                              const std::string* input = nullptr) {
    ChildResult result;
    int out[2];
    int err[2];
    int in[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0 || ::pipe(in) != 0) {
        return result;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        if (input != nullptr) {
            ::dup2(in[0], 0);
        }
        ::close(out[0]);
        ::close(err[0]);
        ::close(in[1]);
        std::vector<char*> argv{const_cast<char*>(CRCLIST_EXE)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(CRCLIST_EXE, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    ::close(in[0]);
    if (input != nullptr && !input->empty()) {
        static_cast<void>(::write(in[1], input->data(), input->size()));
    }
    ::close(in[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    bool told = false;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* texts[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (::poll(fds, 2, 100) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char chunk[4096];
            const ssize_t got = ::read(fds[i].fd, chunk, sizeof chunk);
            if (got <= 0) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
                continue;
            }
            texts[i]->append(chunk, static_cast<std::size_t>(got));
        }
        if (!told && onFirstLine && result.out.find('\n') != std::string::npos) {
            told = true;
            onFirstLine(child);
        }
    }
    for (const pollfd& fd : fds) {
        if (fd.fd >= 0) {
            ::close(fd.fd);
            ::kill(child, SIGKILL);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (open == 0) {
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return result;
}
