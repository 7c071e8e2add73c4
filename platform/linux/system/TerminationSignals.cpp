#include "platform/linux/system/TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace plinka {

namespace {

constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

// The pipe's write end, for the handler; -1 while none is installed.
volatile sig_atomic_t writeEnd = -1;

void onSignal(int signal) {
    const int saved = errno;
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    errno = saved;
}

void setDisposition(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace

std::unique_ptr<TerminationSignals> TerminationSignals::install(Handler handler,
                                                                std::string* error) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error) {
            *error = std::string("cannot make a pipe for signals: ") + std::strerror(errno);
        }
        return nullptr;
    }
    writeEnd = ends[1];
    setDisposition(onSignal);
    return std::unique_ptr<TerminationSignals>(new TerminationSignals(std::move(handler), ends[0]));
}

TerminationSignals::TerminationSignals(Handler handler, int readEnd)
    : handler_(std::move(handler)),
      readEnd_(readEnd),
      notifier_(std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read)) {
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { deliver(); });
}

TerminationSignals::~TerminationSignals() {
    setDisposition(SIG_DFL);
    const int write = writeEnd;
    writeEnd = -1;
    notifier_.reset();
    ::close(write);
    ::close(readEnd_);
}

void TerminationSignals::deliver() {
    unsigned char numbers[16];
    for (;;) {
        const ssize_t count = ::read(readEnd_, numbers, sizeof numbers);
        if (count <= 0) {
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            handler_(numbers[i]);
        }
    }
}

}  // namespace plinka
