#include "tools/board/board_logic.h"

#include <algorithm>
#include <string>
#include <utility>

#include "tools/board/board_listing.h"

namespace mvex {
namespace {

constexpr std::uint8_t kCr = 13;
constexpr std::uint8_t kLf = 10;
constexpr std::uint8_t kBackspace = 8;
constexpr std::uint8_t kDelete = 127;

constexpr char kGreeting[] =
    "\r\n"
    "MORVEX resident menu\r\n"
    "L  upload (just send the hex text)\r\n"
    "Y  dump memory\r\n";

}  // namespace

BoardLogic::BoardLogic(std::optional<std::size_t> fixedListing)
    : memory_(kBoardMemorySize, 0), fixedListing_(fixedListing) {
  if (fixedListing_) fixedListing_ = std::min(*fixedListing_, kBoardMemorySize);
}

void BoardLogic::pressReset(std::string& out) {
  line_.clear();
  lineTooLong_ = false;
  out += kGreeting;
  sendPrompt(out);
}

void BoardLogic::receiveByte(std::uint8_t byte, std::string& out) {
  if (byte == kResetByte) {
    pressReset(out);
    return;
  }
  if (byte == 'Y' && !loading_ && line_.empty() && !lineTooLong_) {
    out += "Y\r\n";
    sendDump(out);
    sendPrompt(out);
    return;
  }
  if (byte == kCr) {
    out += "\r\n";
    finishLine(out);
    return;
  }
  out += static_cast<char>(byte);
  // A lone LF (a CR LF line end sent unchanged) adds nothing to the line.
  if (byte == kLf) return;
  if (byte == kBackspace || byte == kDelete) {
    if (!line_.empty()) line_.pop_back();
    return;
  }
  if (line_.size() < kMaxLineLength) {
    line_ += static_cast<char>(byte);
  } else {
    lineTooLong_ = true;
  }
}

void BoardLogic::finishLine(std::string& out) {
  const std::string line = std::move(line_);
  line_.clear();
  if (std::exchange(lineTooLong_, false)) {
    sendError("Error: line too long", out);
    return;
  }
  if (line.find_first_not_of(" \t") == std::string::npos) {
    sendPrompt(out);
    return;
  }
  if (line == "END") {
    out += "Loaded " + std::to_string(bytesThisUpload_) + " bytes\r\n";
    sendPrompt(out);
    return;
  }
  UploadLine upload;
  if (parseUploadLine(line, upload) != 0) {
    sendError("Error: not an upload line", out);
    return;
  }
  // A line that would run past FFFF is refused whole rather than wrapped or cut.
  if (upload.address + upload.bytes.size() > kBoardMemorySize) {
    sendError("Error: beyond the end of memory", out);
    return;
  }
  storeLine(upload.address, upload.bytes);
  loading_ = true;
}

void BoardLogic::storeLine(std::size_t address, std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  std::copy(bytes.begin(), bytes.end(), memory_.begin() + static_cast<std::ptrdiff_t>(address));
  if (loadedEnd_ == loadedBegin_) {
    loadedBegin_ = address;
    loadedEnd_ = address + bytes.size();
  } else {
    loadedBegin_ = std::min(loadedBegin_, address);
    loadedEnd_ = std::max(loadedEnd_, address + bytes.size());
  }
  bytesThisUpload_ += bytes.size();
}

void BoardLogic::sendDump(std::string& out) const {
  if (fixedListing_) {
    out += listingText(0, fixedListingBytes(*fixedListing_));
    return;
  }
  out += listingText(loadedBegin_, memory().subspan(loadedBegin_, loadedEnd_ - loadedBegin_));
}

void BoardLogic::sendPrompt(std::string& out) {
  loading_ = false;
  bytesThisUpload_ = 0;
  out += "> ";
}

void BoardLogic::sendError(const char* message, std::string& out) {
  out += message;
  out += "\r\n";
  sendPrompt(out);
}

}  // namespace mvex
