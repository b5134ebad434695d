#pragma once
// Runs the built velmora-cli as a child process with a given stdin, and collects its stdout,
// stderr and exit status; plus a scratch folder for the files the tests hand it.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace clitest {

namespace fs = std::filesystem;

struct TCliResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

inline std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const fs::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A folder of its own per test process, removed at the end.
class TScratch {
public:
    TScratch() : FDir(fs::temp_directory_path() / ("velmora-cli-test-" + std::to_string(getpid()))) {
        fs::create_directories(FDir);
    }
    ~TScratch() {
        std::error_code ec;
        fs::remove_all(FDir, ec);
    }
    fs::path File(const std::string &name, const std::string &bytes) const {
        WriteFile(FDir / name, bytes);
        return FDir / name;
    }
    const fs::path &Dir() const { return FDir; }

private:
    fs::path FDir;
};

// stdin, stdout and stderr go through files, so no pipe can fill up and block either side.
inline TCliResult RunCli(const std::vector<std::string> &args, const std::string &input = "") {
    static int counter = 0;
    const fs::path base = fs::temp_directory_path() /
                          ("velmora-cli-io-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    const fs::path in = base.string() + ".in", out = base.string() + ".out", err = base.string() + ".err";
    WriteFile(in, input);

    std::vector<std::string> argv{VELMORA_CLI};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char *> cargv;
    for (std::string &a : argv)
        cargv.push_back(a.data());
    cargv.push_back(nullptr);

    TCliResult result;
    const pid_t pid = fork();
    if (pid == 0) {
        const int fin = open(in.c_str(), O_RDONLY);
        const int fout = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int ferr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fin < 0 || fout < 0 || ferr < 0)
            _exit(127);
        dup2(fin, 0);
        dup2(fout, 1);
        dup2(ferr, 2);
        execv(cargv[0], cargv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        result.Status = WEXITSTATUS(status);
    result.Out = ReadFile(out);
    result.Err = ReadFile(err);
    std::error_code ec;
    fs::remove(in, ec);
    fs::remove(out, ec);
    fs::remove(err, ec);
    return result;
}

}  // namespace clitest
