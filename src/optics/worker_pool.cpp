#include "optics/worker_pool.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <utility>

int processor_count() {
    if constexpr (kPiecesRunInline)
        return 1;
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

WorkerPool::WorkerPool(int workers) {
    const std::size_t count = kPiecesRunInline ? 1 : std::size_t(std::max(1, workers));
    starts_.resize(count);
    if constexpr (kPiecesRunInline)
        return;
    threads_.reserve(count);
    for (std::size_t w = 0; w < count; ++w) {
        starts_[w] = {this, static_cast<int>(w)};
        pthread_t thread;
        if (const int error = pthread_create(&thread, nullptr, &WorkerPool::enter, &starts_[w])) {
            close();
            throw std::system_error(error, std::generic_category(), "starting a worker thread");
        }
        threads_.push_back(thread);
    }
}

WorkerPool::~WorkerPool() {
    close();
}

void WorkerPool::close() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    work_posted_.notify_all();
    for (pthread_t thread : threads_)
        pthread_join(thread, nullptr);
    threads_.clear();
}

void* WorkerPool::enter(void* start) {
    const Start& s = *static_cast<const Start*>(start);
    s.pool->serve(s.worker);
    return nullptr;
}

void WorkerPool::serve(int worker) {
    std::unique_lock lock(mutex_);
    std::uint64_t seen = 0;
    for (;;) {
        work_posted_.wait(lock, [&] { return closing_ || task_ != seen; });
        if (closing_)
            return;
        seen = task_;
        while (!stopping_ && next_ < count_) {
            const int piece = next_++;
            ++running_;
            lock.unlock();
            std::exception_ptr failure;
            try {
                (*piece_)(piece, worker);
            } catch (...) {
                // Left to itself it would end the program; the caller decides instead.
                failure = std::current_exception();
            }
            lock.lock();
            --running_;
            if (failure) {
                if (!failure_)
                    failure_ = failure;
                stopping_ = true;
            } else {
                ++finished_;
            }
            piece_finished_.notify_one();
        }
    }
}

bool WorkerPool::run_inline(int count, const Piece& piece, const Report& report) {
    for (int i = 0; i < count; ++i) {
        piece(i, 0);
        if (report && !report(i + 1))
            return false;
    }
    return true;
}

bool WorkerPool::run(int count, const Piece& piece, const Report& report) {
    if constexpr (kPiecesRunInline)
        return run_inline(count, piece, report);
    std::unique_lock lock(mutex_);
    piece_ = &piece;
    count_ = count;
    next_ = 0;
    running_ = 0;
    finished_ = 0;
    stopping_ = false;
    failure_ = nullptr;
    ++task_;
    work_posted_.notify_all();

    int reported = 0;
    while (reported < count) {
        piece_finished_.wait(lock, [&] { return finished_ > reported || failure_; });
        if (failure_) {
            stop(lock);
            std::rethrow_exception(std::exchange(failure_, nullptr));
        }
        const int finished = finished_;
        bool go_on = true;
        if (report) {
            // The report may take its time (it lets the toolkit handle events): the workers
            // go on meanwhile.
            lock.unlock();
            try {
                while (go_on && reported < finished)
                    go_on = report(++reported);
            } catch (...) {
                // The pieces still running use what the caller is about to unwind.
                lock.lock();
                stop(lock);
                failure_ = nullptr;
                throw;
            }
            lock.lock();
        } else {
            reported = finished;
        }
        if (!go_on) {
            stop(lock);
            return false;
        }
    }
    return true;
}

void WorkerPool::stop(std::unique_lock<std::mutex>& lock) {
    stopping_ = true;
    piece_finished_.wait(lock, [&] { return running_ == 0; });
}
