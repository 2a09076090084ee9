// The floor reference of the console benchmarks: the smallest Qt 6 Widgets
// program that does what the console does at its core. It opens a serial
// device raw, polls it every 10 ms (the queue count and the modem lines,
// two calls as the console's poll makes them), and appends one hex line per
// read to a pane of the console's size. It traces like the console
// (RM460_TRACE, toolkit/qt/trace.h).
//
//   rm460-floor DEVICE
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdio>

#include "toolkit/qt/trace.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: rm460-floor DEVICE\n");
    return 2;
  }
  const int fd = ::open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    std::perror(argv[1]);
    return 1;
  }
  termios t{};
  ::tcgetattr(fd, &t);
  ::cfmakeraw(&t);
  ::cfsetspeed(&t, B38400);
  ::tcsetattr(fd, TCSANOW, &t);

  const auto trace = toolkit::qt::Trace::FromEnvironment();
  QPlainTextEdit pane;
  pane.setReadOnly(true);
  pane.setMaximumBlockCount(10000);
  pane.resize(1146, 439);
  pane.setWindowTitle("RM460 floor");
  if (trace) trace->WatchWindow(pane);
  pane.show();

  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    int queued = 0;
    int modem = 0;
    ::ioctl(fd, FIONREAD, &queued);
    ::ioctl(fd, TIOCMGET, &modem);
    if (queued <= 0) return;
    unsigned char bytes[8192];
    const ssize_t n = ::read(fd, bytes, sizeof bytes);
    if (n <= 0) return;
    static const char digits[] = "0123456789ABCDEF";
    std::string line;
    for (ssize_t i = 0; i < n; ++i) {
      line += digits[bytes[i] >> 4];
      line += digits[bytes[i] & 0x0F];
      line += ' ';
    }
    pane.appendPlainText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    if (trace) trace->Line(line);
  });
  poll.start();
  const int rc = app.exec();
  ::close(fd);
  return rc;
}
