#include "platform/posix_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#if defined(__linux__)
#include <linux/serial.h>
#endif

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

#include "platform/dcb_termios.h"
#include "platform/line_errors.h"
#include "platform/line_rate.h"

namespace platform {
namespace {

DWORD OpenErrorCode(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
      return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
      return ERROR_ACCESS_DENIED;
    case EBUSY:
    case EWOULDBLOCK:
      // What Windows answers for a port that is already open.
      return ERROR_ACCESS_DENIED;
    default:
      return ERROR_GEN_FAILURE;
  }
}

// The errors that mean the device has left: a USB adapter pulled, the far
// side of a pseudo-terminal closed.
bool DeviceGone(int err) {
  return err == EIO || err == ENXIO || err == ENODEV || err == EPIPE;
}

// A call the driver does not have (pseudo-terminals have no modem lines).
bool NotSupported(int err) {
  return err == ENOTTY || err == EINVAL;
}

// The driver's counters, where it keeps them. False with errno set.
bool ReadCounters(int fd, LineCounters& out) {
#if defined(TIOCGICOUNT)
  serial_icounter_struct ic{};
  if (::ioctl(fd, TIOCGICOUNT, &ic) != 0) return false;
  out = {ic.frame, ic.overrun, ic.parity, ic.brk, ic.buf_overrun};
  return true;
#else
  (void)fd, (void)out;
  errno = ENOTTY;
  return false;
#endif
}

// The line settings a port starts with before anyone sets them. Fields that
// termios holds are replaced by what the device has.
DCB StartingDcb() {
  DCB d;
  d.fBinary = 1;
  d.fDtrControl = DTR_CONTROL_ENABLE;
  d.fRtsControl = RTS_CONTROL_ENABLE;
  d.fTXContinueOnXoff = 1;
  d.XonLim = 2048;
  d.XoffLim = 512;
  return d;
}

class PosixSerialPort final : public SerialBackend {
 public:
  PosixSerialPort(int fd, std::string path, PosixPortOptions options, DCB state)
      : fd_(fd), path_(std::move(path)), options_(options), kept_(state) {
    // Errors are reported from here on: what happened before the open is
    // not this program's.
    hasCounters_ = ReadCounters(fd_, last_);
  }
  ~PosixSerialPort() override { Close(); }
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  bool Setup(DWORD, DWORD) override { return Alive(); }

  bool Purge(DWORD flags) override {
    if (!Alive()) return false;
    const bool rx = (flags & (PURGE_RXABORT | PURGE_RXCLEAR)) != 0;
    const bool tx = (flags & (PURGE_TXABORT | PURGE_TXCLEAR)) != 0;
    if (!rx && !tx) return true;
    const int queue = rx && tx ? TCIOFLUSH : rx ? TCIFLUSH : TCOFLUSH;
    return ::tcflush(fd_, queue) == 0 || Fail(errno);
  }

  bool GetState(DCB& dcb) override {
    if (!Alive()) return false;
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return Fail(errno);
    unsigned rate = 0;
    if ((tio.c_cflag & CBAUD) == kOtherSpeed && !ReadLineRate(fd_, rate)) return Fail(errno);
    dcb = TermiosToDcb(tio, rate, kept_);
    return true;
  }

  bool SetState(const DCB& dcb) override {
    if (!Alive()) return false;
    termios old{};
    if (::tcgetattr(fd_, &old) != 0) return Fail(errno);
    std::string reason;
    const auto next = DcbToTermios(dcb, old, &reason);
    if (!next) {
      SetLastError(ERROR_INVALID_PARAMETER, path_ + ": " + reason);
      return false;
    }
    const bool applied = next->customRate != 0 ? ApplyWithRate(fd_, next->tio, next->customRate)
                                               : ::tcsetattr(fd_, TCSANOW, &next->tio) == 0;
    if (!applied) return Fail(errno);
    kept_ = dcb;
    kept_.DCBlength = sizeof(DCB);
    // Like the Windows driver, the DTR and RTS modes set the lines now.
    if (dcb.fDtrControl == DTR_CONTROL_ENABLE || dcb.fDtrControl == DTR_CONTROL_DISABLE) {
      if (!SetLine(TIOCM_DTR, dcb.fDtrControl == DTR_CONTROL_ENABLE, true)) return false;
    }
    if (dcb.fRtsControl == RTS_CONTROL_ENABLE || dcb.fRtsControl == RTS_CONTROL_DISABLE) {
      if (!SetLine(TIOCM_RTS, dcb.fRtsControl == RTS_CONTROL_ENABLE, true)) return false;
    }
    return true;
  }

  bool Escape(DWORD function) override {
    if (!Alive()) return false;
    switch (function) {
      case SETDTR:
        return SetLine(TIOCM_DTR, true, false);
      case CLRDTR:
        return SetLine(TIOCM_DTR, false, false);
      case SETRTS:
        return SetLine(TIOCM_RTS, true, false);
      case CLRRTS:
        return SetLine(TIOCM_RTS, false, false);
      case SETBREAK:
        return ::ioctl(fd_, TIOCSBRK) == 0 || FailCall(errno);
      case CLRBREAK:
        return ::ioctl(fd_, TIOCCBRK) == 0 || FailCall(errno);
      case SETXOFF:
        return ::tcflow(fd_, TCOOFF) == 0 || FailCall(errno);
      case SETXON:
        return ::tcflow(fd_, TCOON) == 0 || FailCall(errno);
      default:
        SetLastError(ERROR_INVALID_PARAMETER,
                     path_ + ": unknown line function " + std::to_string(function));
        return false;
    }
  }

  bool ClearError(DWORD& errors, COMSTAT& stat) override {
    errors = 0;
    stat = COMSTAT{};
    // The poll also moves bytes the driver has taken in onto the queue that
    // FIONREAD counts.
    if (!Alive() || HungUp()) return false;
    int in = 0;
    if (::ioctl(fd_, FIONREAD, &in) != 0) return Fail(errno);
    int out = 0;
    if (::ioctl(fd_, TIOCOUTQ, &out) != 0) return Fail(errno);
    stat.cbInQue = static_cast<DWORD>(in > 0 ? in : 0);
    stat.cbOutQue = static_cast<DWORD>(out > 0 ? out : 0);
    if (hasCounters_) {
      LineCounters now;
      if (!ReadCounters(fd_, now)) {
        if (!NotSupported(errno)) return Fail(errno);
        hasCounters_ = false;
        return true;
      }
      errors = LineErrorsBetween(last_, now);
      last_ = now;
    }
    return true;
  }

  bool GetModemStatus(DWORD& status) override {
    status = 0;
    if (!Alive()) return false;
    int lines = 0;
    if (::ioctl(fd_, TIOCMGET, &lines) != 0) return FailCall(errno);
    if ((lines & TIOCM_CTS) != 0) status |= MS_CTS_ON;
    if ((lines & TIOCM_DSR) != 0) status |= MS_DSR_ON;
    if ((lines & TIOCM_RNG) != 0) status |= MS_RING_ON;
    if ((lines & TIOCM_CAR) != 0) status |= MS_RLSD_ON;
    return true;
  }

  bool Read(void* buffer, DWORD count, DWORD& got) override {
    got = 0;
    if (!Alive()) return false;
    if (count == 0) return true;
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, count);
      if (n > 0) {
        got = static_cast<DWORD>(n);
        return true;
      }
      // Raw reads return 0 when nothing is queued, and also once the line
      // has hung up; only the poll tells the two apart.
      if (n == 0) return !HungUp();
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return true;
      return Fail(errno);
    }
  }

  bool Write(const void* buffer, DWORD count, DWORD& written) override {
    written = 0;
    if (!Alive()) return false;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    using Clock = std::chrono::steady_clock;
    auto giveUp = Clock::now() + std::chrono::milliseconds(options_.writeStallMs);
    while (written < count) {
      const ssize_t n = ::write(fd_, bytes + written, count - written);
      if (n > 0) {
        written += static_cast<DWORD>(n);
        giveUp = Clock::now() + std::chrono::milliseconds(options_.writeStallMs);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return Fail(errno);
      // The driver's queue is full: wait until it takes more, or give up.
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now()).count();
      if (left <= 0) {
        SetLastError(ERROR_GEN_FAILURE, path_ + ": write timed out, the line takes no data");
        return false;
      }
      pollfd p{fd_, POLLOUT, 0};
      const int r = ::poll(&p, 1, static_cast<int>(left));
      if (r < 0 && errno != EINTR) return Fail(errno);
      if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return MarkGone(EIO);
    }
    return true;
  }

  void Close() override {
    if (fd_ < 0) return;
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
  }

 private:
  // False, with the error kept, once the device has gone or been closed.
  bool Alive() {
    if (fd_ < 0) {
      SetLastError(ERROR_INVALID_HANDLE, path_ + ": the port is closed");
      return false;
    }
    if (gone_) {
      SetLastError(ERROR_DEVICE_REMOVED, goneText_);
      return false;
    }
    return true;
  }

  // A zero-timeout look at the line: true (after the error is set) when the
  // far side has hung up.
  bool HungUp() {
    pollfd p{fd_, POLLIN, 0};
    int r;
    do {
      r = ::poll(&p, 1, 0);
    } while (r < 0 && errno == EINTR);
    if (r < 0) {
      Fail(errno);
      return true;
    }
    if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      goneText_ = path_ + ": the device hung up";
      gone_ = true;
      SetLastError(ERROR_DEVICE_REMOVED, goneText_);
      return true;
    }
    return false;
  }

  bool MarkGone(int err) {
    gone_ = true;
    goneText_ = path_ + ": " + std::strerror(err);
    SetLastError(ERROR_DEVICE_REMOVED, goneText_);
    return false;
  }

  bool Fail(int err) {
    if (DeviceGone(err)) return MarkGone(err);
    SetLastError(ERROR_GEN_FAILURE, path_ + ": " + std::strerror(err));
    return false;
  }

  // A failed call that the driver may simply not have.
  bool FailCall(int err) {
    if (!NotSupported(err)) return Fail(err);
    SetLastError(ERROR_BAD_COMMAND, path_ + ": " + std::strerror(err));
    return false;
  }

  // Raises or drops a modem control line. With `quiet`, a driver without
  // modem lines is no failure.
  bool SetLine(int line, bool on, bool quiet) {
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return true;
    if (quiet && NotSupported(errno)) return true;
    return FailCall(errno);
  }

  int fd_;
  std::string path_;
  PosixPortOptions options_;
  DCB kept_;
  bool gone_ = false;
  std::string goneText_;
  bool hasCounters_ = false;
  LineCounters last_;
};

// The path as opened, and the device it leads to when that is another name
// ("…/dosdevices/com3 (/dev/ttyUSB0)"), for the operator's error texts.
std::string DisplayName(const std::string& path) {
  char real[PATH_MAX];
  if (::realpath(path.c_str(), real) == nullptr || path == real) return path;
  return path + " (" + real + ")";
}

std::unique_ptr<SerialBackend> Refuse(int fd, DWORD code, const std::string& text) {
  if (fd >= 0) ::close(fd);
  SetLastError(code, text);
  return nullptr;
}

}  // namespace

std::unique_ptr<SerialBackend> OpenPosixSerialPort(const std::string& path,
                                                   PosixPortOptions options) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  const std::string name = DisplayName(path);
  if (fd < 0) {
    const int e = errno;
    return Refuse(-1, OpenErrorCode(e), name + ": " + std::strerror(e));
  }
  // TIOCEXCL turns away other openers but not the superuser; the lock
  // turns away anyone who asks for it, so both are taken.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return Refuse(fd, ERROR_ACCESS_DENIED, name + ": " + std::strerror(EBUSY));
  }
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    const int e = errno;
    return Refuse(fd, ERROR_GEN_FAILURE, name + ": " + std::strerror(e));
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int e = errno;
    return Refuse(fd, ERROR_GEN_FAILURE, name + ": " + std::strerror(e));
  }

  // Start raw, with no flow control: a terminal's usual XON/XOFF would
  // swallow 0x11 and 0x13 bytes of binary traffic.
  unsigned rate = 0;
  if ((tio.c_cflag & CBAUD) == kOtherSpeed) ReadLineRate(fd, rate);
  DCB dcb = TermiosToDcb(tio, rate, StartingDcb());
  if (dcb.BaudRate == 0) dcb.BaudRate = 9600;  // B0 would hang the line up
  dcb.fOutX = 0;
  dcb.fInX = 0;
  dcb.fOutxCtsFlow = 0;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  const auto raw = DcbToTermios(dcb, tio);
  const bool applied = raw && (raw->customRate != 0 ? ApplyWithRate(fd, raw->tio, raw->customRate)
                                                    : ::tcsetattr(fd, TCSANOW, &raw->tio) == 0);
  if (!applied) {
    const int e = raw ? errno : EINVAL;
    return Refuse(fd, ERROR_GEN_FAILURE, name + ": " + std::strerror(e));
  }
  return std::make_unique<PosixSerialPort>(fd, name, options, dcb);
}

}  // namespace platform
