#include "platform/linux/QtRunLoop.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QMetaObject>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <cmath>

namespace plinka {

namespace {

class QtTimer final : public Timer {
  public:
    QtTimer(double seconds, bool repeats, RunLoop::TimerAction action)
        : timer_(std::make_unique<QTimer>()), action_(std::move(action)) {
        timer_->setTimerType(Qt::PreciseTimer);
        timer_->setSingleShot(!repeats);
        timer_->setInterval(static_cast<int>(std::lround(seconds * 1000.0)));
        QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] {
            if (timer_->isSingleShot()) {
                valid_ = false;
            }
            action_(*this);
        });
        timer_->start();
    }
    QtTimer(const QtTimer&) = delete;
    QtTimer& operator=(const QtTimer&) = delete;

    void fire() override {
        if (!valid_) {
            return;
        }
        if (timer_->isSingleShot()) {
            invalidate();
        }
        action_(*this);
    }
    void invalidate() override {
        valid_ = false;
        timer_->stop();
    }
    bool isValid() const override { return valid_; }

  private:
    std::unique_ptr<QTimer> timer_;
    RunLoop::TimerAction action_;
    bool valid_ = true;
};

// An eventfd the main thread's loop watches: waking is one write, with no allocation or lock.
class EventfdWakeup final : public MainThreadWakeup {
  public:
    explicit EventfdWakeup(RunLoop::Task task)
        : descriptor_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
          task_(std::move(task)),
          notifier_(std::make_unique<QSocketNotifier>(descriptor_, QSocketNotifier::Read)) {
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
            eventfd_t count = 0;
            ::eventfd_read(descriptor_, &count);
            task_();
        });
    }
    ~EventfdWakeup() override {
        notifier_.reset();
        ::close(descriptor_);
    }
    EventfdWakeup(const EventfdWakeup&) = delete;
    EventfdWakeup& operator=(const EventfdWakeup&) = delete;

    void wake() override { ::eventfd_write(descriptor_, 1); }

  private:
    int descriptor_;
    RunLoop::Task task_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace

QtRunLoop::QtRunLoop()
    : mainThread_(std::this_thread::get_id()), context_(std::make_unique<QObject>()) {}

QtRunLoop::~QtRunLoop() = default;

bool QtRunLoop::isMainThread() const {
    return std::this_thread::get_id() == mainThread_;
}

void QtRunLoop::performOnMainThread(Task task) {
    QMetaObject::invokeMethod(context_.get(), std::move(task), Qt::QueuedConnection);
}

std::unique_ptr<Timer> QtRunLoop::scheduleTimer(double seconds, bool repeats, TimerAction action) {
    return std::make_unique<QtTimer>(seconds, repeats, std::move(action));
}

}  // namespace plinka

namespace plinka {

std::unique_ptr<MainThreadWakeup> QtRunLoop::makeWakeup(Task onMainThread) {
    return std::make_unique<EventfdWakeup>(std::move(onMainThread));
}

}  // namespace plinka
