#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "tests/child_process.h"

extern char** environ;  // NOLINT: the POSIX interface declares it so

namespace tests {

namespace {

[[noreturn]] void fail(const std::string& what, int error) {
  throw std::runtime_error(what + ": " + std::strerror(error));
}

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Close(); }

  int get() const { return fd_; }
  void Reset(int fd) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }
  void Close() { Reset(-1); }

 private:
  int fd_;
};

// Both ends close on exec, so that a child keeps only the copies that its
// file actions make.
struct Pipe {
  Pipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) fail("pipe2", errno);
    read_end.Reset(fds[0]);
    write_end.Reset(fds[1]);
  }
  Descriptor read_end;
  Descriptor write_end;
};

class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }

  void Open(int fd, const char* path, int flags) { Check(posix_spawn_file_actions_addopen(&actions_, fd, path, flags, 0644)); }
  void Duplicate(int from, int to) { Check(posix_spawn_file_actions_adddup2(&actions_, from, to)); }
  void Close(int fd) { Check(posix_spawn_file_actions_addclose(&actions_, fd)); }
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  static void Check(int error) {
    if (error != 0) fail("posix_spawn_file_actions", error);
  }
  posix_spawn_file_actions_t actions_;
};

void route_standard_output(const StandardOutput& output, int captured_fd, FileActions& actions) {
  switch (output.kind) {
    case StandardOutput::Kind::kCaptured:
      actions.Duplicate(captured_fd, STDOUT_FILENO);
      break;
    case StandardOutput::Kind::kClosed:
      actions.Close(STDOUT_FILENO);
      break;
    case StandardOutput::Kind::kFile:
      actions.Open(STDOUT_FILENO, output.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
      break;
  }
}

// Reads both pipes to their end at once, so that a child that fills one
// while the other is being read cannot stall.
void drain(Descriptor& out, Descriptor& err, ChildResult& result) {
  pollfd fds[2] = {{out.get(), POLLIN, 0}, {err.get(), POLLIN, 0}};
  std::string* sinks[2] = {&result.standard_output, &result.standard_error};
  Descriptor* owners[2] = {&out, &err};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      fail("poll", errno);
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        owners[i]->Close();
        fds[i].fd = -1;
      }
    }
  }
}

void wait_for(pid_t pid, ChildResult& result) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) fail("waitpid", errno);
  }
  result.exited = WIFEXITED(status);
  result.status = result.exited ? WEXITSTATUS(status) : WTERMSIG(status);
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& arguments,
                     const StandardOutput& output) {
  Pipe out;
  Pipe err;
  FileActions actions;
  actions.Open(STDIN_FILENO, "/dev/null", O_RDONLY);
  route_standard_output(output, out.write_end.get(), actions);
  actions.Duplicate(err.write_end.get(), STDERR_FILENO);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));  // NOLINT: posix_spawn's signature
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));  // NOLINT
  argv.push_back(nullptr);

  pid_t pid = 0;
  const int error = posix_spawn(&pid, program.c_str(), actions.get(), nullptr, argv.data(), environ);
  if (error != 0) fail("posix_spawn " + program, error);
  out.write_end.Close();
  err.write_end.Close();

  ChildResult result;
  drain(out.read_end, err.read_end, result);
  wait_for(pid, result);
  return result;
}

}  // namespace tests
