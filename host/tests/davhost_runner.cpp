#include "host/tests/davhost_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace dav::host::testing {
namespace {

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "davhost_test_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

namespace {

// A davhost started and not yet waited for; its output goes to files of its own folder.
struct Started {
  pid_t pid = -1;
  std::unique_ptr<TemporaryFolder> capture;
};

Started StartDavhost(const std::vector<std::string>& arguments, const std::string* machineEnv,
                     const std::string* input, bool asNobody = false) {
  Started started{-1, std::make_unique<TemporaryFolder>()};
  const std::filesystem::path& capture = started.capture->path();
  const std::filesystem::path outFile = capture / "out";
  const std::filesystem::path errFile = capture / "err";
  const std::filesystem::path inFile = input ? capture / "in" : std::filesystem::path("/dev/null");
  if (input) std::ofstream(inFile, std::ios::binary) << *input;

  std::vector<std::string> argv{DAVHOST_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (std::string& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = open(inFile.c_str(), O_RDONLY);
    const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    unsetenv("DAVHOST_MACHINE");
    // No desktop: the editor commands need a script.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DAVHOST_EDITOR"}) {
      unsetenv(name);
    }
    if (machineEnv) setenv("DAVHOST_MACHINE", machineEnv->c_str(), 1);
    if (asNobody && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(125);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  started.pid = pid;
  return started;
}

RunResult Finish(Started& started) {
  int status = 0;
  if (waitpid(started.pid, &status, 0) != started.pid) throw std::runtime_error("waitpid failed");
  RunResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadAll(started.capture->path() / "out");
  result.err = ReadAll(started.capture->path() / "err");
  return result;
}

}  // namespace

RunResult RunDavhost(const std::vector<std::string>& arguments, const std::string* machineEnv,
                     const std::string* input) {
  Started started = StartDavhost(arguments, machineEnv, input);
  return Finish(started);
}

RunResult RunDavhostAsNobody(const std::vector<std::string>& arguments) {
  Started started = StartDavhost(arguments, nullptr, nullptr, geteuid() == 0);
  return Finish(started);
}

std::vector<RunResult> RunDavhostTogether(const std::vector<std::vector<std::string>>& runs) {
  std::vector<Started> started;
  for (const auto& arguments : runs) started.push_back(StartDavhost(arguments, nullptr, nullptr));
  std::vector<RunResult> results;
  for (Started& s : started) results.push_back(Finish(s));
  return results;
}

void MachineTest::SetUp() {
  Ok({"machine", "init"});
  Ok({"machine", "set", "waits", "skip"});
}

std::vector<std::string> MachineTest::WithMachine(std::vector<std::string> arguments) const {
  arguments.insert(arguments.begin(), {"--machine", (folder_.path() / "m").string()});
  return arguments;
}

RunResult MachineTest::Run(std::vector<std::string> arguments, const std::string* input) {
  return RunDavhost(WithMachine(std::move(arguments)), nullptr, input);
}

std::string MachineTest::Ok(const std::vector<std::string>& arguments, const std::string* input) {
  const RunResult r = Run(arguments, input);
  EXPECT_EQ(r.exitCode, 0) << "davhost " << ::testing::PrintToString(arguments) << "\n" << r.err;
  return r.out;
}

std::string MachineTest::HostFile(const std::string& name, const std::string& bytes) {
  const std::filesystem::path file = folder_.path() / name;
  std::ofstream(file, std::ios::binary) << bytes;
  return file.string();
}

void ExpectOneErrorLine(const RunResult& r, const std::string& what) {
  EXPECT_NE(r.exitCode, 0) << what << " must fail";
  EXPECT_EQ(r.err.rfind("davhost: ", 0), 0u) << what << ": " << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": " << r.err;
  EXPECT_EQ(r.out, "") << what;
}

long Count(const std::string& text, const std::string& part) {
  long n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace dav::host::testing
