// A worker thread for tests in which this thread stands for the window
// thread: it handles the messages a worker sends only while it waits for the
// worker with WaitHandlingMessages.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

namespace testing_support {

constexpr DWORD kWorkerPatienceMs = 5000;

class Worker {
 public:
  explicit Worker(std::function<void()> work)
      : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([done = done_.get(), work = std::move(work)] {
          work();
          SetEvent(done);
        }) {}
  // A worker still waiting for this thread is let go before it is joined; one
  // stuck elsewhere fails the test and is left running, its event kept open.
  ~Worker() {
    if (WaitHandlingMessages(kStuckMs)) {
      thread_.join();
      return;
    }
    ADD_FAILURE() << "the worker is stuck";
    thread_.detach();
    done_.release();
  }
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // True when the work is done within the patience.
  bool WaitHandlingMessages(DWORD patienceMs) {
    HANDLE done = done_.get();
    for (ULONGLONG start = GetTickCount64(); WaitForSingleObject(done, 0) != WAIT_OBJECT_0;) {
      ULONGLONG waited = GetTickCount64() - start;
      if (waited >= patienceMs) return false;
      MsgWaitForMultipleObjects(1, &done, FALSE, DWORD(patienceMs - waited), QS_ALLINPUT);
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return true;
  }
  // Handles only the messages other threads send meanwhile, as the window
  // thread does while it waits for a playback's step; posted ones stay.
  bool WaitTakingSentMessagesOnly(DWORD patienceMs) {
    HANDLE done = done_.get();
    for (ULONGLONG start = GetTickCount64(); WaitForSingleObject(done, 0) != WAIT_OBJECT_0;) {
      ULONGLONG waited = GetTickCount64() - start;
      if (waited >= patienceMs) return false;
      MsgWaitForMultipleObjectsEx(1, &done, DWORD(patienceMs - waited), QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
  }
  // Handles no messages meanwhile: a worker that waits for this thread does
  // not finish.
  bool WaitWithoutMessages(DWORD patienceMs) { return WaitForSingleObject(done_.get(), patienceMs) == WAIT_OBJECT_0; }

 private:
  static constexpr DWORD kStuckMs = 30000;
  struct CloseHandleDeleter {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
  };
  std::unique_ptr<void, CloseHandleDeleter> done_;
  std::thread thread_;
};

// True once another thread's sent message waits for this thread, within the
// patience; the message is left for this thread to handle.
inline bool SentMessageWaiting(DWORD patienceMs = kWorkerPatienceMs) {
  for (ULONGLONG start = GetTickCount64(); GetTickCount64() - start < patienceMs; Sleep(1))
    if (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) return true;
  return false;
}

// Runs the work on a worker while this thread handles messages; a worker that
// takes longer than the patience fails the test.
inline void RunOnWorker(std::function<void()> work) {
  Worker worker(std::move(work));
  EXPECT_TRUE(worker.WaitHandlingMessages(kWorkerPatienceMs)) << "the worker took over " << kWorkerPatienceMs << " ms";
}

}  // namespace testing_support
