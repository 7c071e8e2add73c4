#include "platform/linux/packimport/ChildSoundPackInstaller.h"

#include <QProcess>
#include <QTimer>
#include <string_view>

namespace plinka {

namespace {

// A pack's warnings name keys and files: a few hundred lines at most.
constexpr size_t kMaxAnswerBytes = 256 * 1024;

const std::string kName = "plinka-import-pack";

ChildSoundPackInstaller::Result failure(const std::string& reason) {
    return {std::nullopt, {}, reason};
}

}  // namespace

ChildSoundPackInstaller::ChildSoundPackInstaller(std::string program,
                                                 std::chrono::milliseconds timeout)
    : program_(std::move(program)),
      timeout_(timeout),
      children_(std::make_unique<QObject>()),
      deadline_(std::make_unique<QTimer>()) {
    deadline_->setSingleShot(true);
    QObject::connect(deadline_.get(), &QTimer::timeout, deadline_.get(), [this] {
        finish(failure("no answer from " + kName + " within " + std::to_string(timeout_.count()) +
                       " ms"));
    });
}

ChildSoundPackInstaller::~ChildSoundPackInstaller() {
    for (QProcess* child : children_->findChildren<QProcess*>()) {
        QObject::disconnect(child, nullptr, nullptr, nullptr);
        if (child->state() != QProcess::NotRunning) {
            child->kill();  // SIGKILL: gone at once, so the wait only reaps it
            child->waitForFinished(1000);
        }
    }
}

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

bool ChildSoundPackInstaller::install(const std::string& pack, const Options& options,
                                      Completion done) {
    if (child_ != nullptr) {
        return false;
    }
    child_ = new QProcess(children_.get());
    done_ = std::move(done);
    answer_.clear();
    child_->setProgram(QString::fromStdString(program_));
    QStringList arguments{QString::fromStdString(pack)};
    if (options.splitRelease) {
        arguments.append("--split-release");
    }
    child_->setArguments(arguments);
    child_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(child_, &QProcess::readyReadStandardOutput, child_, [this] { readAnswer(); });
    QObject::connect(child_, &QProcess::finished, child_,
                     [this](int exitCode, QProcess::ExitStatus status) {
                         readAnswer();
                         if (child_ != nullptr) {
                             finish(status == QProcess::CrashExit ? failure(kName + " crashed")
                                                                  : parseAnswer(answer_, exitCode));
                         }
                     });
    QObject::connect(
        child_, &QProcess::errorOccurred, child_, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                finish(
                    failure("cannot run " + program_ + ": " + child_->errorString().toStdString()));
            }
        });
    deadline_->start(timeout_);
    child_->start();
    return true;
}

void ChildSoundPackInstaller::cancel() {
    done_ = nullptr;
    stop();
}

void ChildSoundPackInstaller::readAnswer() {
    answer_ += child_->readAllStandardOutput().toStdString();
    if (answer_.size() > kMaxAnswerBytes) {
        finish(failure(kName + " said more than an import says"));
    }
}

void ChildSoundPackInstaller::finish(Result result) {
    stop();
    if (const Completion done = std::exchange(done_, nullptr)) {
        done(std::move(result));
    }
}

void ChildSoundPackInstaller::stop() {
    deadline_->stop();
    QProcess* child = std::exchange(child_, nullptr);
    if (child == nullptr) {
        return;
    }
    QObject::disconnect(child, nullptr, nullptr, nullptr);
    if (child->state() == QProcess::NotRunning) {
        child->deleteLater();  // perhaps inside its own signal
        return;
    }
    QObject::connect(child, &QProcess::finished, child, &QObject::deleteLater);
    child->kill();
}

}  // namespace plinka
