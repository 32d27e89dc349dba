#ifndef MVEX_IO_ERROR_NUMBER_H_
#define MVEX_IO_ERROR_NUMBER_H_

namespace mvex {

/// Status results of port, file and process operations. Operations return them as plain ints.
enum ErrorNumber : int {
  kSuccess = 0,
  kBadCall = 1,       ///< not open, already open, invalid port spec, settings unusable
  kCannotOpen = 2,    ///< a device or file cannot be opened; delete of a missing file
  kInputOutput = 3,   ///< short write, full put-back store, delete refused
  kNotPermitted = 8,  ///< delete not permitted
};

}  // namespace mvex

#endif  // MVEX_IO_ERROR_NUMBER_H_
