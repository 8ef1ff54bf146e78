#pragma once

#include <string>

// Whether one request of the page may carry the host's token. The web
// process asks it for every request it sends; what it decides from (the
// token, and the rules that narrow it) comes from the browser.
namespace tokenscope {

struct Request {
    std::string address;
    // The main frame's document when the request was made.
    std::string initiatorDocument;
    // The request follows a redirect of an earlier one.
    bool redirected = false;
};

inline bool mayCarry(const std::string &token, const Request &)
{
    // Every request, to every host, as the browser's other engines do: the
    // browser sends an empty token when it must not go out at all.
    return !token.empty();
}

} // namespace tokenscope
