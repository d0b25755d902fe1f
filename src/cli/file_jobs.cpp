#include "cli/file_jobs.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <sstream>
#include <system_error>
#include <thread>

#include "cli/member_option.h"
#include "io/ordered_pool.h"

namespace varn::cli {
int UsageError(const std::string& message, Streams& streams) {
    streams.err << "varn: " << EscapeControls(message) << "\nRun 'varn --help' for usage.\n";
    return ExitUsage;
}

namespace {

// The jobs of args, or an error message in why.
std::vector<FileJob> JobsOf(const FileArgs& args, const std::string& suffix, std::string& why) {
    std::vector<FileJob> jobs;
    if (args.out_dir.empty()) {
        if (args.files.size() > 2) {
            why = "one INPUT and one OUTPUT at most; give --out-dir DIR for several inputs";
            return {};
        }
        jobs.push_back(
            {args.files.front(), args.files.size() == 2 ? args.files[1] : "-", args.member});
        return jobs;
    }
    std::map<std::string, std::string> written_from;
    for (const std::string& input : args.files) {
        if (input == "-") {
            why = "--out-dir takes files, not standard input";
            return {};
        }
        const std::filesystem::path name = std::filesystem::path(input).stem();
        std::string file = name.string();
        file.append("-").append(suffix).append(".txt");
        const std::string output = (std::filesystem::path(args.out_dir) / file).string();
        if (const auto [at, added] = written_from.emplace(output, input); !added) {
            why = at->second;
            why.append(" and ").append(input).append(" would both be written to ").append(output);
            return {};
        }
        jobs.push_back({input, output, args.member});
    }
    return jobs;
}

// What one job printed, and how it ended.
struct Finished {
    std::ostringstream out;
    std::ostringstream err;
    int code = ExitOk;
    bool done = false;
};

}  // namespace

void AddFileArgs(CLI::App& cmd, FileArgs& args) {
    cmd.add_option("--out-dir", args.out_dir,
                   "write each INPUT to DIR/<name>-<suffix>.txt; every file named is then an "
                   "input")
        ->type_name("DIR");
    AddMemberOption(&cmd, args.member);
    cmd.add_option("INPUT", args.files,
                   "input file, - for standard input; then the output file (default -, "
                   "standard output)")
        ->required()
        ->expected(1, -1);
}

int RunFileJobs(const FileArgs& args, const std::string& suffix, int threads, const FileJobRun& run,
                Streams& streams) {
    std::string why;
    const std::vector<FileJob> jobs = JobsOf(args, suffix, why);
    if (jobs.empty()) return UsageError(why, streams);
    if (jobs.size() == 1) return run(jobs.front(), threads, streams);

    // Files side by side, each with its share of the threads.
    const int all = PoolThreads(threads);
    const auto side_by_side = static_cast<std::size_t>(
        std::clamp<std::size_t>(jobs.size(), 1, static_cast<std::size_t>(all)));
    const int each = std::max(1, all / static_cast<int>(side_by_side));
    std::vector<Finished> finished(jobs.size());
    std::mutex mutex;
    std::condition_variable done;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < jobs.size();) {
            Finished& f = finished[i];
            Streams own{f.out, f.err, streams.verbosity};
            int code = ExitFailure;
            try {
                code = run(jobs[i], each, own);
            } catch (const std::bad_alloc&) {
                f.err << "varn: " << jobs[i].input << ": cannot read: "
                      << std::make_error_code(std::errc::not_enough_memory).message() << '\n';
            }
            std::lock_guard lock(mutex);
            f.code = code;
            f.done = true;
            done.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (std::size_t w = 0; w < side_by_side; ++w) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // those that started do the rest
        }
    }
    if (workers.empty()) work();
    int code = ExitOk;
    for (Finished& f : finished) {
        {
            std::unique_lock lock(mutex);
            done.wait(lock, [&f] { return f.done; });
        }
        streams.out << f.out.str();
        streams.err << f.err.str();
        if (f.code != ExitOk) code = ExitFailure;
    }
    for (std::thread& worker : workers) worker.join();
    return code;
}

}  // namespace varn::cli
