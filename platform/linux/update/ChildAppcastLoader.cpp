#include "platform/linux/update/ChildAppcastLoader.h"

#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <sstream>

namespace plinka {

namespace {

// The answer of a feed of a few hundred items fits many times over.
constexpr qint64 kMaxAnswerBytes = 64 * 1024;

}  // namespace

ChildAppcastLoader::ChildAppcastLoader(std::string program, std::chrono::milliseconds timeout)
    : program_(std::move(program)), timeout_(timeout) {}

ChildAppcastLoader::~ChildAppcastLoader() {
    for (const auto& child : children_) {
        child->disconnect();
        child->kill();
        child->waitForFinished(1000);
    }
}

AppcastLoader::Result ChildAppcastLoader::parseAnswer(const std::string& output, int exitStatus) {
    Result result;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line == "item") {
            result.items.push_back({});
        } else if (line.starts_with("item ")) {
            result.items.push_back({line.substr(5)});
        } else if (line.starts_with("failure ")) {
            result.failure = line.substr(8);
        } else {
            return {{}, "plinka-appcast answered something else than an appcast"};
        }
    }
    if (exitStatus != 0 && !result.failure) {
        result = {{}, "plinka-appcast ended with status " + std::to_string(exitStatus)};
    }
    return result;
}

void ChildAppcastLoader::loadAppcast(const std::string& url, const std::vector<QueryItem>& query,
                                     Completion done) {
    auto child = std::make_unique<QProcess>();
    QProcess* process = child.get();
    QStringList arguments{QString::fromStdString(url)};
    for (const auto& [key, value] : query) {
        arguments << QString::fromStdString(key) << QString::fromStdString(value);
    }
    process->setProgram(QString::fromStdString(program_));
    process->setArguments(arguments);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    auto answer = std::make_shared<std::string>();
    auto finish = [this, process, answer, done = std::move(done)](const Result& result) {
        process->disconnect();
        if (process->state() != QProcess::NotRunning) {
            process->kill();  // SIGKILL: it is gone at once and only needs reaping
            process->waitForFinished(1000);
        }
        done(result);
        const auto found =
            std::find_if(children_.begin(), children_.end(),
                         [process](const auto& held) { return held.get() == process; });
        if (found != children_.end()) {
            found->release()->deleteLater();
            children_.erase(found);
        }
    };
    QObject::connect(process, &QProcess::readyReadStandardOutput, process, [=] {
        *answer += process->readAllStandardOutput().toStdString();
        if (static_cast<qint64>(answer->size()) > kMaxAnswerBytes) {
            finish({{}, "plinka-appcast said more than an appcast holds"});
        }
    });
    QObject::connect(process, &QProcess::finished, process,
                     [=](int exitCode, QProcess::ExitStatus) {
                         *answer += process->readAllStandardOutput().toStdString();
                         finish(parseAnswer(*answer, exitCode));
                     });
    QObject::connect(
        process, &QProcess::errorOccurred, process, [=, this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                finish(
                    {{}, "cannot run " + program_ + ": " + process->errorString().toStdString()});
            }
        });
    auto* deadline = new QTimer(process);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, process, [=, this] {
        finish({{}, "no answer within " + std::to_string(timeout_.count()) + " ms"});
    });
    deadline->start(timeout_);
    children_.push_back(std::move(child));
    process->start();
}

}  // namespace plinka
