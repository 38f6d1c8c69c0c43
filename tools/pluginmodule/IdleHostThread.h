#pragma once
// A host never runs on one thread. While a process has only one, the C
// library's mutexes skip their atomic instructions, which would flatter every
// plug-in lock a block takes (by about 8 ns a block on the development
// machine). Whatever times plug-ins keeps one of these alive meanwhile: a
// second thread that waits, as a host's user-interface thread would. Windows'
// locks take no such shortcut (and a process there is never alone), so it
// does nothing there.

#if !defined(_WIN32)
#include <future>
#include <thread>
#endif

namespace vsthost {

class IdleHostThread {
public:
#if defined(_WIN32)
  IdleHostThread() {}
#else
  IdleHostThread() : thread([wait = done.get_future()] { wait.wait(); }) {}
  ~IdleHostThread() {
    done.set_value();
    thread.join();
  }
#endif
  IdleHostThread(const IdleHostThread&) = delete;
  IdleHostThread& operator=(const IdleHostThread&) = delete;

#if !defined(_WIN32)
private:
  std::promise<void> done;
  std::thread thread;
#endif
};

} // namespace vsthost
