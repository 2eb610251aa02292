#include "core/TextEncoding.h"

#include "core/Text.h"

#include <cerrno>
#include <iconv.h>

namespace pelmora::core {

namespace {

// One iconv conversion descriptor, closed on scope exit.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw EncodingError(std::string("No conversion from ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts as much as it can; returns false at a character it cannot convert,
    // with `in` pointing at it.
    bool Convert(const char*& in, size_t& inLeft, std::string& out) {
        char buf[4096];
        while (inLeft > 0) {
            char* o = buf;
            size_t oLeft = sizeof buf;
            const size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &o, &oLeft);
            out.append(buf, o - buf);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

size_t Utf8SequenceLength(unsigned char c) {
    return c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
}

} // namespace

const char* CodePageName(CodePage cp) {
    switch (cp) {
    case CodePage::Windows1250: return "WINDOWS-1250";
    case CodePage::Iso8859_2: return "ISO-8859-2";
    case CodePage::Iso8859_1: return "ISO-8859-1";
    case CodePage::Utf8: return "UTF-8";
    }
    return "UTF-8";
}

bool CodePageFromName(std::string_view name, CodePage& cp) {
    const std::string n = UpperCase(Trim(name));
    if (n == "WINDOWS-1250" || n == "CP1250" || n == "CP-1250" || n == "X-CP1250")
        cp = CodePage::Windows1250;
    else if (n == "ISO-8859-2" || n == "ISO8859-2" || n == "LATIN2" || n == "ISO_8859-2")
        cp = CodePage::Iso8859_2;
    else if (n == "ISO-8859-1" || n == "ISO8859-1" || n == "LATIN1" || n == "ISO_8859-1")
        cp = CodePage::Iso8859_1;
    else if (n == "UTF-8" || n == "UTF8")
        cp = CodePage::Utf8;
    else
        return false;
    return true;
}

std::string DecodeText(std::string_view bytes, CodePage cp) {
    if (cp == CodePage::Utf8)
        return U32ToUtf8(Utf8ToU32(bytes));
    Iconv cv("UTF-8", CodePageName(cp));
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    const char* in = bytes.data();
    size_t left = bytes.size();
    while (!cv.Convert(in, left, out)) {
        out += "\xEF\xBF\xBD"; // U+FFFD for a byte the code page leaves undefined
        ++in;
        --left;
    }
    return out;
}

std::string EncodeText(std::string_view utf8, CodePage cp, Unmappable mode) {
    if (cp == CodePage::Utf8)
        return std::string(utf8);
    Iconv cv(CodePageName(cp), "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (!cv.Convert(in, left, out)) {
        const size_t len = std::min(Utf8SequenceLength(static_cast<unsigned char>(*in)), left);
        const std::u32string cps = Utf8ToU32(std::string_view(in, len));
        const char32_t c = cps.empty() ? U'\uFFFD' : cps[0];
        switch (mode) {
        case Unmappable::Replace: out += '?'; break;
        case Unmappable::CharRef: out += "&#" + std::to_string(static_cast<uint32_t>(c)) + ";"; break;
        case Unmappable::Throw:
            throw EncodingError("Character U+" + std::to_string(static_cast<uint32_t>(c)) +
                                " has no code in " + CodePageName(cp));
        }
        in += len;
        left -= len;
    }
    return out;
}

bool CanEncode(std::string_view utf8, CodePage cp) {
    try {
        EncodeText(utf8, cp, Unmappable::Throw);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

} // namespace pelmora::core
