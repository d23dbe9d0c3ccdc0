#include "base/exceptions.h"

#include <charconv>
#include <cstdint>
#include <system_error>

#include "base/component.h"

void Abort() {
  throw EAbort();
}

std::string ComponentMessage(std::string_view text, const TComponent* component) {
  if (component == nullptr || component->Name().empty()) return std::string(text);
  std::string r = component->Name();
  r += ": ";
  r += text;
  return r;
}

void DatabaseError(const std::string& text, const TComponent* component) {
  throw EDatabaseError(ComponentMessage(text, component));
}

namespace {

[[noreturn]] void BadFormat(std::string_view fmt) {
  // The template goes in as an argument: it is never itself used as a template here.
  throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

std::string IntegerText(std::int64_t v, char directive) {
  if (directive == 'x') {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<std::uint64_t>(v), 16);
    std::string hex(buf, res.ptr);
    for (char& c : hex) {
      if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    return hex;
  }
  if (directive == 'u') return std::to_string(static_cast<std::uint64_t>(v));
  return std::to_string(v);
}

// Locale-independent: the C library's printf would follow the process locale.
std::string FixedText(double v, int decimals) {
  char buf[512];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  // More decimals than the buffer holds: the shortest text that reads back as the same value.
  if (res.ec != std::errc()) res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string ArgText(const FormatArg& arg, char directive, int precision, std::string_view fmt) {
  const auto& value = arg.Value();
  switch (directive) {
    case 's':
      if (const auto* s = std::get_if<std::string>(&value)) return *s;
      if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
      {
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, std::get<double>(value),
                                       std::chars_format::general, 15);
        return std::string(buf, res.ptr);
      }
    case 'd':
    case 'u':
    case 'x':
      if (const auto* i = std::get_if<std::int64_t>(&value)) return IntegerText(*i, directive);
      BadFormat(fmt);
    case 'f':
      if (const auto* d = std::get_if<double>(&value)) return FixedText(*d, precision);
      if (const auto* i = std::get_if<std::int64_t>(&value))
        return FixedText(static_cast<double>(*i), precision);
      BadFormat(fmt);
    default:
      BadFormat(fmt);
  }
}

}  // namespace

std::string FormatV(std::string_view fmt, const std::vector<FormatArg>& args) {
  std::string out;
  size_t next_arg = 0;
  for (size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') {
      out += fmt[i];
      continue;
    }
    if (++i >= fmt.size()) BadFormat(fmt);
    if (fmt[i] == '%') {
      out += '%';
      continue;
    }
    bool left = false;
    if (fmt[i] == '-') {
      left = true;
      if (++i >= fmt.size()) BadFormat(fmt);
    }
    size_t width = 0;
    while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
      width = width * 10 + static_cast<size_t>(fmt[i] - '0');
      if (width > 1000) BadFormat(fmt);
      ++i;
    }
    int precision = 2;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      precision = 0;
      while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
        precision = precision * 10 + (fmt[i] - '0');
        if (precision > 100) BadFormat(fmt);
        ++i;
      }
    }
    if (i >= fmt.size() || next_arg >= args.size()) BadFormat(fmt);
    std::string text = ArgText(args[next_arg++], fmt[i], precision, fmt);
    if (text.size() < width) {
      const std::string pad(width - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}
