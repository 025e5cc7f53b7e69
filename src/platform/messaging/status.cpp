#include "platform/messaging/status.h"

#include <cerrno>
#include <cstring>

namespace koru {

std::string StatusText(status_t status) {
  switch (status) {
    case kOk:
      return "No error";
    case kError:
      return "General error";
    case kNoMemory:
      return "Out of memory";
    case kBadValue:
      return "Bad value";
    case kEntryNotFound:
      return "Entry not found";
    case kNameNotFound:
      return "Name not found";
    case kBadIndex:
      return "Bad index";
    case kBadType:
      return "Bad type";
    case kTimedOut:
      return "Timed out";
    case kBusy:
      return "Device busy";
    case kIoError:
      return "I/O error";
    case kNoDevice:
      return "No such device";
    case kBadThreadId:
      return "Bad thread id";
    case kNotAllowed:
      return "Operation not allowed";
    case kInterrupted:
      return "Interrupted";
    case kUnsupported:
      return "Operation not supported";
    case kBadPort:
      return "Bad port";
    default:
      return "Unknown error " + std::to_string(status);
  }
}

status_t StatusFromErrno(int error_number) {
  switch (error_number) {
    case 0:
      return kOk;
    case ENOENT:
      return kEntryNotFound;
    case ENODATA:
      return kEntryNotFound;
    case ENOMEM:
      return kNoMemory;
    case EINVAL:
      return kBadValue;
    case EBUSY:
      return kBusy;
    case EIO:
      return kIoError;
    case ENODEV:
    case ENXIO:
      return kNoDevice;
    case EACCES:
    case EPERM:
    case EROFS:
      return kNotAllowed;
    case EINTR:
      return kInterrupted;
    case ETIMEDOUT:
      return kTimedOut;
    case ENOTSUP:
      return kUnsupported;
    default:
      return kError;
  }
}

}  // namespace koru
