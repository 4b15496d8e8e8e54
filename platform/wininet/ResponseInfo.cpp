#include "wininet/ResponseInfo.h"

#include <cctype>

namespace wininet {

namespace {

thread_local DWORD responseError = ERROR_SUCCESS;
thread_local std::string responseText;

bool StartsWithCode(std::string_view line, char separator) {
  return line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) &&
         std::isdigit(static_cast<unsigned char>(line[1])) && std::isdigit(static_cast<unsigned char>(line[2])) &&
         line[3] == separator;
}

int CodeOf(std::string_view line) { return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0'); }

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

bool ReplyParser::Line(std::string_view rawLine, const std::string& command) {
  const std::string_view line = WithoutLineEnd(rawLine);
  if (!inMultiLine_) {
    const bool single = StartsWithCode(line, ' ') || (line.size() == 3 && StartsWithCode(std::string(line) + " ", ' '));
    const bool first = StartsWithCode(line, '-');
    if (!single && !first) return false;  // not a reply line
    current_ = FtpReply{CodeOf(line), std::string(line), command};
    if (first) {
      inMultiLine_ = true;
      return false;
    }
    last_ = std::move(current_);
    return true;
  }
  current_.text += "\r\n";
  current_.text += line;
  if (StartsWithCode(line, ' ') && CodeOf(line) == current_.code) {
    inMultiLine_ = false;
    last_ = std::move(current_);
    return true;
  }
  return false;
}

std::optional<std::uint64_t> SizeOfReply(const FtpReply& reply) {
  if (reply.code != 213 || reply.text.size() <= 4) return std::nullopt;
  std::uint64_t size = 0;
  for (std::size_t i = 4; i < reply.text.size(); ++i) {
    const char c = reply.text[i];
    if (c == ' ' || c == '\r' || c == '\n') break;
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (size > (UINT64_MAX - digit) / 10) return std::nullopt;  // no file is that large
    size = size * 10 + digit;
  }
  return size;
}

void SetThreadResponse(DWORD error, std::string text) {
  responseError = error;
  responseText = std::move(text);
}

DWORD ThreadResponseError() { return responseError; }

const std::string& ThreadResponseText() { return responseText; }

}  // namespace wininet
