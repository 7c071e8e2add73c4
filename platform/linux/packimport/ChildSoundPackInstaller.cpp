#include "platform/linux/packimport/ChildSoundPackInstaller.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <string_view>

namespace plinka {

namespace {

// A pack's warnings name keys and files: a few hundred lines at most.
constexpr qint64 kMaxAnswerBytes = 256 * 1024;

const std::string kName = "plinka-import-pack";

ChildSoundPackInstaller::Result failure(const std::string& reason) {
    return {std::nullopt, {}, reason};
}

}  // namespace

ChildSoundPackInstaller::ChildSoundPackInstaller(std::string program,
                                                 std::chrono::milliseconds timeout)
    : program_(std::move(program)), timeout_(timeout) {}

ChildSoundPackInstaller::Result ChildSoundPackInstaller::parseAnswer(const std::string& output,
                                                                     int exitStatus) {
    Result result;
    const Result nonsense = failure(kName + " answered something else than an import");
    // Records end with a NUL byte, so that texts keep their line breaks.
    size_t start = 0;
    for (size_t end; (end = output.find('\0', start)) != std::string::npos; start = end + 1) {
        const std::string_view record(output.data() + start, end - start);
        if (record.starts_with("warning ")) {
            result.warnings.emplace_back(record.substr(8));
        } else if (record.starts_with("installed ") && !result.name) {
            result.name = record.substr(10);
        } else if (record.starts_with("failure ") && result.failure.empty()) {
            result.failure = record.substr(8);
        } else {
            return nonsense;
        }
    }
    if (start != output.size()) {
        return nonsense;
    }
    if (exitStatus != 0) {
        return failure(result.failure.empty()
                           ? kName + " ended with status " + std::to_string(exitStatus)
                           : result.failure);
    }
    return result.name && result.failure.empty() ? result : nonsense;
}

ChildSoundPackInstaller::Result ChildSoundPackInstaller::install(const std::string& pack,
                                                                 const Options& options) const {
    QProcess child;
    child.setProgram(QString::fromStdString(program_));
    QStringList arguments{QString::fromStdString(pack)};
    if (options.splitRelease) {
        arguments.append("--split-release");
    }
    child.setArguments(arguments);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QDeadlineTimer deadline(timeout_);
    child.start();
    if (!child.waitForStarted(static_cast<int>(deadline.remainingTime()))) {
        return failure("cannot run " + program_ + ": " + child.errorString().toStdString());
    }
    const auto end = [&child](const std::string& reason) {
        child.kill();  // SIGKILL: it is gone at once and only needs reaping
        child.waitForFinished(1000);
        return failure(reason);
    };
    std::string answer;
    while (child.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            return end("no answer from " + kName + " within " + std::to_string(timeout_.count()) +
                       " ms");
        }
        if (!child.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            // Its output closed, or time is up: what is left is to wait for it to end.
            child.waitForFinished(static_cast<int>(deadline.remainingTime()));
        }
        answer += child.readAllStandardOutput().toStdString();
        if (static_cast<qint64>(answer.size()) > kMaxAnswerBytes) {
            return end(kName + " said more than an import says");
        }
    }
    answer += child.readAllStandardOutput().toStdString();
    if (child.exitStatus() == QProcess::CrashExit) {
        return failure(kName + " crashed");
    }
    return parseAnswer(answer, child.exitCode());
}

}  // namespace plinka
