#pragma once

#include <functional>
#include <string>

// Runs test code in a forked child process, for what must not touch the test process itself:
// being killed, or running as another user.

// Runs `body` in a child process and returns the text it returns, or "child ended abnormally"
// when it did not return. With `unprivileged`, a child started by root first becomes the user
// nobody, so that file permissions apply to it.
std::string RunInChild(const std::function<std::string()>& body, bool unprivileged = false);

// Runs `body` in a child process and sends the child `signal` once `body` calls the function it
// is given (which never returns). Returns the child's wait status (see waitpid), or -1 when
// `body` returned without calling it.
int KillWhenReady(const std::function<void(const std::function<void()>& ready)>& body, int signal);
