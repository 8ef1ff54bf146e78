#include "helpermessages.h"

#include <algorithm>

namespace helpermessages {

namespace {

const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

Message decode(const std::string &text)
{
    Message message;
    size_t start = 0;
    size_t colon = text.find(':');
    message.name = text.substr(0, colon);
    while (colon != std::string::npos) {
        start = colon + 1;
        colon = text.find(':', start);
        message.fields.push_back(fromBase64(text.substr(start, colon == std::string::npos ? colon : colon - start)));
    }
    return message;
}

} // namespace

const std::string &Message::field(size_t index) const
{
    static const std::string none;
    return index < fields.size() ? fields[index] : none;
}

std::string toBase64(const std::string &bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t left = bytes.size() - i;
        unsigned int group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1)
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (left > 2)
            group |= static_cast<unsigned char>(bytes[i + 2]);
        text += alphabet[(group >> 18) & 63];
        text += alphabet[(group >> 12) & 63];
        text += left > 1 ? alphabet[(group >> 6) & 63] : '=';
        text += left > 2 ? alphabet[group & 63] : '=';
    }
    return text;
}

std::string fromBase64(const std::string &text)
{
    std::string bytes;
    unsigned int group = 0;
    int bits = 0;
    for (char c : text) {
        const int value = sextet(c);
        if (value < 0)
            continue;
        group = (group << 6) | unsigned(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += char((group >> bits) & 0xff);
        }
    }
    return bytes;
}

std::string encode(const Message &message)
{
    std::string text = message.name;
    for (const std::string &field : message.fields)
        text += ':' + toBase64(field);
    return text + ';';
}

std::vector<Message> Framer::append(const char *bytes, size_t size)
{
    std::vector<Message> messages;
    _pending.append(bytes, size);
    const size_t last = _pending.rfind(';');
    if (last == std::string::npos)
        return messages;
    size_t start = 0;
    for (size_t end = _pending.find(';'); end != std::string::npos && end <= last; end = _pending.find(';', start)) {
        if (end > start)
            messages.push_back(decode(_pending.substr(start, end - start)));
        start = end + 1;
    }
    _pending.erase(0, last + 1);
    return messages;
}

} // namespace helpermessages
