// What a person waits for at launch: the real application started as a new process, from exec to
// its first rendered frame (a script whose only commands are a screenshot and quit; the process's
// exit marks the frame written). Measured on a fresh home and on a home with a saved board. The
// reference, in the same run, is starting and waiting for a process that does nothing, so the
// ratio shows what the application adds to a bare exec.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path scratchFolder()
{
    static const fs::path folder = [] {
        auto path = fs::temp_directory_path() / ("brenzo-launch-bench-" + std::to_string(getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

fs::path writeScript(const std::string& name, const std::string& text)
{
    auto path = scratchFolder() / name;
    std::ofstream(path) << text;
    return path;
}

// Runs the program to its end; false when it could not start or did not exit with 0.
bool run(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    int failure = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failure)
        return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> launchToFirstFrame(const fs::path& home)
{
    static const auto script = writeScript("first-frame.txt", "screenshot " + (scratchFolder() / "frame.png").string() + "\nquit\n");
    return { BRENZO_APP_PATH, "--home", home.string(), "--contacts", BRENZO_SOURCE_DIR "/resources/contacts.vcf", "--script", script.string() };
}

void BM_ReferenceExecOfAnEmptyProcess(benchmark::State& state)
{
    for (auto _ : state) {
        if (!run({ "/bin/true" }))
            state.SkipWithError("/bin/true did not run");
    }
}
BENCHMARK(BM_ReferenceExecOfAnEmptyProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExecToFirstFrameOnAFreshHome(benchmark::State& state)
{
    auto home = scratchFolder() / "fresh";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(home);
        state.ResumeTiming();
        if (!run(launchToFirstFrame(home)))
            state.SkipWithError("the application failed");
    }
}
BENCHMARK(BM_ExecToFirstFrameOnAFreshHome)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExecToFirstFrameOnASavedBoard(benchmark::State& state)
{
    // A placeholder turned into a contact picture, as the demo does, so the board file and a
    // picture file are read at launch.
    auto home = scratchFolder() / "saved";
    fs::remove_all(home);
    auto pick = writeScript("pick.txt", "tap 55 68\nwait 0.5\ntap 160 86\ntype \"joel\"\npress \"06 12 34 56 78\"\nwait 1\nquit\n");
    if (!run({ BRENZO_APP_PATH, "--home", home.string(), "--contacts", BRENZO_SOURCE_DIR "/resources/contacts.vcf", "--script", pick.string() })
        || !fs::exists(home / "Documents" / "image001.png")) {
        state.SkipWithError("could not save a board");
        return;
    }
    for (auto _ : state) {
        if (!run(launchToFirstFrame(home)))
            state.SkipWithError("the application failed");
    }
}
BENCHMARK(BM_ExecToFirstFrameOnASavedBoard)->Unit(benchmark::kMillisecond)->UseRealTime();

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(scratchFolder());
    return 0;
}
