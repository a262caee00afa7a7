// Encoding and decoding of the dialog helper's request and reply messages.
#include "dialogs/dialog_protocol.h"

#include <charconv>
#include <cstdio>

namespace txads::dialogs {
namespace {

constexpr std::string_view kEndLine = "end";

std::string_view kind_name(DialogKind kind) {
  return kind == DialogKind::group_picker ? "group-picker" : "container-browser";
}

std::string_view outcome_name(Outcome outcome) {
  switch (outcome) {
    case Outcome::chosen:
      return "chosen";
    case Outcome::cancelled:
      return "cancelled";
    case Outcome::failed:
      break;
  }
  return "failed";
}

void put_line(std::string& out, std::string_view key, std::string_view value) {
  out.append(key);
  out.push_back(' ');
  out.append(escape_value(value));
  out.push_back('\n');
}

std::string header() {
  return std::string(kProtocolMagic) + " " + std::to_string(kProtocolVersion) + "\n";
}

std::string hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// A number in "0x" hexadecimal or decimal, all of the text.
std::optional<uint64_t> parse_number(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

struct Field {
  std::string_view key;
  std::string value;
};

// Splits a message into its fields after checking the version line and the
// "end" line.
Status parse_fields(std::string_view message, std::vector<Field>& fields) {
  size_t pos = message.find('\n');
  if (pos == std::string_view::npos) return kBadMessage;
  std::string_view first = message.substr(0, pos);
  if (first.substr(0, kProtocolMagic.size()) != kProtocolMagic ||
      first.size() < kProtocolMagic.size() + 2 || first[kProtocolMagic.size()] != ' ') {
    return kBadMessage;
  }
  const auto version = parse_number(first.substr(kProtocolMagic.size() + 1));
  if (!version) return kBadMessage;
  if (*version != static_cast<uint64_t>(kProtocolVersion)) return kVersionMismatch;

  ++pos;
  while (pos < message.size()) {
    const size_t eol = message.find('\n', pos);
    if (eol == std::string_view::npos) return kBadMessage;  // unterminated line
    const std::string_view line = message.substr(pos, eol - pos);
    pos = eol + 1;
    if (line == kEndLine) return kOk;
    const size_t space = line.find(' ');
    const std::string_view key = line.substr(0, space);
    if (key.empty()) return kBadMessage;
    auto value = unescape_value(space == std::string_view::npos ? std::string_view()
                                                                : line.substr(space + 1));
    if (!value) return kBadMessage;
    fields.push_back({key, std::move(*value)});
  }
  return kBadMessage;  // no "end" line
}

}  // namespace

std::string escape_value(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::optional<std::string> unescape_value(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\r') return std::nullopt;
    if (c != '\\') {
      out.push_back(c);
      continue;
    }
    if (++i == value.size()) return std::nullopt;
    switch (value[i]) {
      case '\\':
        out.push_back('\\');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 'r':
        out.push_back('\r');
        break;
      default:
        return std::nullopt;
    }
  }
  return out;
}

std::string encode(const DialogRequest& request) {
  std::string out = header();
  put_line(out, "dialog", kind_name(request.kind));
  if (request.caption) put_line(out, "caption", *request.caption);
  if (request.title) put_line(out, "title", *request.title);
  if (request.owner_window != 0) put_line(out, "owner", hex(request.owner_window));
  out.append(kEndLine).push_back('\n');
  return out;
}

std::string encode(const DialogReply& reply) {
  std::string out = header();
  put_line(out, "outcome", outcome_name(reply.outcome));
  if (reply.outcome == Outcome::chosen) {
    for (const auto& path : reply.paths) put_line(out, "path", path);
  } else if (reply.outcome == Outcome::failed) {
    put_line(out, "status", hex(reply.status.bits()));
    put_line(out, "text", reply.text);
  }
  out.append(kEndLine).push_back('\n');
  return out;
}

Status decode(std::string_view message, DialogRequest& request) {
  std::vector<Field> fields;
  if (const Status s = parse_fields(message, fields); s.failed()) return s;
  DialogRequest out;
  bool have_kind = false;
  for (auto& field : fields) {
    if (field.key == "dialog") {
      if (field.value == kind_name(DialogKind::container_browser)) {
        out.kind = DialogKind::container_browser;
      } else if (field.value == kind_name(DialogKind::group_picker)) {
        out.kind = DialogKind::group_picker;
      } else {
        return kBadMessage;
      }
      have_kind = true;
    } else if (field.key == "caption") {
      out.caption = std::move(field.value);
    } else if (field.key == "title") {
      out.title = std::move(field.value);
    } else if (field.key == "owner") {
      const auto owner = parse_number(field.value);
      if (!owner) return kBadMessage;
      out.owner_window = *owner;
    }
  }
  if (!have_kind) return kBadMessage;
  request = std::move(out);
  return kOk;
}

Status decode(std::string_view message, DialogReply& reply) {
  std::vector<Field> fields;
  if (const Status s = parse_fields(message, fields); s.failed()) return s;
  DialogReply out;
  bool have_outcome = false;
  std::optional<uint64_t> status;
  for (auto& field : fields) {
    if (field.key == "outcome") {
      if (field.value == outcome_name(Outcome::chosen)) {
        out.outcome = Outcome::chosen;
      } else if (field.value == outcome_name(Outcome::cancelled)) {
        out.outcome = Outcome::cancelled;
      } else if (field.value == outcome_name(Outcome::failed)) {
        out.outcome = Outcome::failed;
      } else {
        return kBadMessage;
      }
      have_outcome = true;
    } else if (field.key == "path") {
      out.paths.push_back(std::move(field.value));
    } else if (field.key == "status") {
      status = parse_number(field.value);
      if (!status || *status > 0xFFFFFFFFu) return kBadMessage;
    } else if (field.key == "text") {
      out.text = std::move(field.value);
    }
  }
  if (!have_outcome) return kBadMessage;
  if (out.outcome == Outcome::failed) {
    // A failure must say which one, as a failure code.
    if (!status) return kBadMessage;
    out.status = Status(static_cast<uint32_t>(*status));
    if (!out.status.failed()) return kBadMessage;
  } else {
    out.text.clear();
  }
  if (out.outcome != Outcome::chosen) out.paths.clear();
  reply = std::move(out);
  return kOk;
}

bool MessageReader::feed(std::string_view bytes) {
  if (complete_) return true;
  const size_t start = buffer_.size() >= 4 ? buffer_.size() - 4 : 0;
  buffer_.append(bytes);
  // The "end" line always follows another line, so it starts after a '\n'.
  const size_t at = buffer_.find("\nend\n", start);
  if (at != std::string::npos) {
    buffer_.resize(at + 5);
    complete_ = true;
    return true;
  }
  return buffer_.size() <= kMaxMessageBytes;
}

}  // namespace txads::dialogs
