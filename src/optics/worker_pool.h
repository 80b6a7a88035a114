// A few threads that share out the numbered pieces of one task at a time, while the thread
// that owns the pool waits, reports progress and may stop the task. The threads live as long
// as the pool (one Draw), so that nothing runs once the computation has returned.
#pragma once

#include <pthread.h>

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <vector>

// One worker per processor the system reports (at least one).
int processor_count();

// A browser runs WebAssembly on one thread: there the pool starts no threads, and the calling
// thread does every piece itself, in order, as worker 0.
#ifdef __EMSCRIPTEN__
inline constexpr bool kPiecesRunInline = true;
#else
inline constexpr bool kPiecesRunInline = false;
#endif

class WorkerPool {
  public:
    explicit WorkerPool(int workers);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int size() const { return static_cast<int>(starts_.size()); }

    // piece(i, w) does piece i on worker w (0 … size − 1, so that each worker can keep
    // scratch of its own); report(f) is told that f pieces have finished.
    using Piece = std::function<void(int piece, int worker)>;
    using Report = std::function<bool(int finished)>;

    // Runs pieces 0 … count − 1, each once, started in that order as workers become free.
    // The calling thread waits and calls report with 1, 2, … count as pieces finish; once
    // report answers false no further piece starts, and run returns false as soon as the
    // running ones have finished. True when every piece has run.
    // An exception thrown by a piece or by report stops the task the same way and is thrown
    // again here once no piece is running any more (the first one, if several pieces throw);
    // the pool stays ready for the next task.
    bool run(int count, const Piece& piece, const Report& report = nullptr);

  private:
    struct Start {
        WorkerPool* pool;
        int worker;
    };
    static void* enter(void* start);
    void serve(int worker);
    void close();
    // Stops the task and waits, with the lock held, until no piece is running.
    void stop(std::unique_lock<std::mutex>& lock);
    bool run_inline(int count, const Piece& piece, const Report& report);

    std::mutex mutex_;
    std::condition_variable work_posted_;
    std::condition_variable piece_finished_;
    const Piece* piece_ = nullptr;
    std::uint64_t task_ = 0;  // counts the tasks posted, so that a worker sees a new one
    int count_ = 0;
    int next_ = 0;
    int running_ = 0;
    int finished_ = 0;
    bool stopping_ = false;
    bool closing_ = false;
    std::exception_ptr failure_;  // what the first piece of the task that failed threw
    // POSIX threads rather than std::thread, whose start record is allocated by the thread
    // that starts it and freed by the new one: memory would move between the threads'
    // allocator caches at every Draw. These start records belong to the pool.
    std::vector<Start> starts_;
    std::vector<pthread_t> threads_;
};
