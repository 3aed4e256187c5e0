#pragma once
// The visit to the platform site's root that follows a bare "SUCCESS" body. The platform hands
// out the cookies of a fresh login on its home page; this visit picks them up into the cookie
// store so the requests and the game page that follow carry them. Internal to the web client.

#include <string>
#include <vector>

namespace qrv {

class WebContext;

// GET of http(s)://<site>/ (the site's scheme) with the application's agent, the system's proxy settings and
// the request headers a browser of the platform's time sent, ending in the platform's fixed cookie
// "Key=somevalue;domain=<domain>" followed by the stored cookies for the site. The response's
// cookies go into the store; its body is dropped. Redirects are not followed, so the stored
// cookies never reach another host. Failures are ignored. Returns the response's first eight
// Set-Cookie values, for the caller's inspection only.
std::vector<std::string> VisitSiteAfterSuccess(WebContext& context);

}  // namespace qrv
