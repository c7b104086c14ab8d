// Runs the built tool as a process against the stand-in uninstaller,
// installed as Dolm0411.exe in a Windows directory that WINDIR names. Every
// test has a folder of its own and shares nothing else with the others. The
// tool's output goes to files in that folder, never to pipes, so that an
// uninstaller left running cannot hold the test up.
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

extern char **environ;

struct ToolResult {
  int status;
  std::string out;
  std::string err;
  long long endedAt;  // steady-clock nanoseconds
};

struct UninstallerRun {
  long long start;
  long long end;
  std::vector<std::string> argv;
};

inline long long NowNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(windowsDir);
    InstallUninstaller(windowsDir);
  }
  void TearDown() override { fs::remove_all(dir); }

  static void InstallUninstaller(const fs::path &windows) {
    fs::copy_file(STAND_IN_UNINSTALLER_PATH, windows / "Dolm0411.exe");
  }

  // The tool's environment: this process's, less what the tests set.
  std::vector<std::string> Environment() const {
    std::vector<std::string> entries;
    for (char **entry = environ; *entry; ++entry) {
      std::string text = *entry;
      if (text.rfind("WINDIR=", 0) != 0 && text.rfind("STAND_IN_", 0) != 0) entries.push_back(text);
    }
    for (const auto &[name, value] : environment) entries.push_back(name + "=" + value);
    return entries;
  }

  // Starts the tool with its output going to files; returns its process id.
  pid_t StartTool(const std::vector<std::string> &arguments) {
    std::vector<std::string> argvText{BATCHUNINST_PATH};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envText = Environment();
    std::vector<char *> argv, envp;
    for (std::string &text : argvText) argv.push_back(text.data());
    for (std::string &text : envText) envp.push_back(text.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, (dir / "stdout").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (dir / "stderr").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(error, 0) << strerror(error);
    return pid;
  }

  // Waits for the tool's end; its status is the raw wait status.
  ToolResult WaitForTool(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {status, ReadBytes(dir / "stdout"), ReadBytes(dir / "stderr"), NowNanoseconds()};
  }

  // Runs the tool to its end; its status is the exit status.
  ToolResult RunTool(const std::vector<std::string> &arguments) {
    ToolResult result = WaitForTool(StartTool(arguments));
    EXPECT_TRUE(WIFEXITED(result.status));
    result.status = WEXITSTATUS(result.status);
    return result;
  }

  std::vector<UninstallerRun> Runs() const {
    std::vector<UninstallerRun> runs;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) {
      std::istringstream fields(line);
      UninstallerRun run;
      fields >> run.start >> run.end;
      for (std::string field; fields >> field;) run.argv.push_back(Unhex(field.substr(1)));
      runs.push_back(run);
    }
    return runs;
  }

  // The arguments the uninstaller sees for an entry without quotes.
  std::vector<std::string> ArgumentsFor(const std::string &entry) const {
    return {windowsDir.string() + "\\Dolm0411.exe", "-y", "-f" + entry};
  }

  std::vector<std::vector<std::string>> RunArguments() const {
    std::vector<std::vector<std::string>> arguments;
    for (const UninstallerRun &run : Runs()) arguments.push_back(run.argv);
    return arguments;
  }

  fs::path dir = MakeTempDir();
  fs::path windowsDir = dir / "windows";
  fs::path list = dir / "uninstall.lst";
  fs::path log = dir / "runs.log";
  std::map<std::string, std::string> environment{{"WINDIR", windowsDir.string()},
                                                 {"STAND_IN_LOG", log.string()}};
};
