#include "net/web_client.h"

#include <glib.h>

#include "net/curl_handles.h"
#include "net/follow_up_visit.h"
#include "net/web_context.h"

namespace qrv {
namespace {

// The platform's servers knew this launcher by the agent of the system's browser component.
constexpr char kAgent[] = "Microsoft Internet Explorer";
// Bodies are read as text in chunks of this size; a zero byte ends the text of its chunk.
constexpr std::size_t kChunkBytes = 1024;
// No answer of the platform comes near this; a larger body is a fault, and reading it on would
// only hold the window longer and grow the memory without bound.
constexpr std::size_t kMaxBodyBytes = 32 * 1024 * 1024;
constexpr long kMaxRedirects = 10;

struct BodySink {
  std::string raw;
};

size_t CollectBody(char* data, size_t size, size_t count, void* user) {
  auto& sink = *static_cast<BodySink*>(user);
  const size_t bytes = size * count;
  if (sink.raw.size() + bytes > kMaxBodyBytes) return 0;  // ends the transfer as failed
  sink.raw.append(data, bytes);
  return bytes;
}

// The body as the launcher's text: each 1024-byte chunk contributes the bytes before its first
// zero byte. The cut is made on the bytes, not on the network's reads, so the same body always
// gives the same text.
std::string TextOfBody(std::string_view raw) {
  std::string text;
  text.reserve(raw.size());
  for (std::size_t at = 0; at < raw.size(); at += kChunkBytes) {
    const std::string_view chunk = raw.substr(at, kChunkBytes);
    text.append(chunk.substr(0, chunk.find('\0')));
  }
  return text;
}

// Percent-encodes what may not stand in a request target (spaces, quotes, braces, control and
// non-ASCII bytes, "#" which would end the path); the reserved characters that may, "%"
// included, go as given. (A path holds no zero byte: the callers build it from text.)
std::string EscapeRequestPath(std::string_view path) {
  const std::string text(path.substr(0, path.find('\0')));
  g_autofree gchar* escaped = g_uri_escape_string(text.c_str(), "!$%&'()*+,/:;=?@[]", FALSE);
  return escaped;
}

std::string BaseUrl(const HostPort& host) {
  return (host.https ? "https://" : "http://") + host.host + ":" + std::to_string(host.port) + "/";
}

bool IsValidBaseUrl(const std::string& url) {
  const CurlLibrary* curl = Curl();
  if (curl == nullptr) return false;
  CurlUrl parsed(curl->url());
  return parsed && curl->url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
}

}  // namespace

// An open client: the easy handle (whose connection cache holds the kept-alive connection) and
// the host it was opened for, which later SetHost calls do not change.
struct WebClient::Impl {
  CurlEasy handle;
  std::string base_url;
  CurlSlist headers;
};

WebClient::WebClient(WebContext& context) : context_(context) {}

WebClient::~WebClient() { Close(); }

void WebClient::SetHost(std::string host) { host_ = std::move(host); }

bool WebClient::IsOpen() const { return impl_ != nullptr; }

void WebClient::Close() {
  // Cleaning up the easy handle closes its kept-alive connection.
  delete impl_;
  impl_ = nullptr;
}

bool WebClient::Open() {
  const HostPort target = SplitHostPort(host_);
  if (target.host.empty()) return false;
  std::string base_url = BaseUrl(target);
  if (!IsValidBaseUrl(base_url)) return false;
  CurlEasy handle = MakeCurlEasy();
  if (!handle) return false;

  auto impl = std::make_unique<Impl>();
  impl->base_url = std::move(base_url);
  // WinInet-era HTTP/1.0 keep-alive: the request asks for it, and a reply that agrees keeps the
  // connection for the next fetch. No Accept header is sent, as the platform always saw.
  AppendHeader(impl->headers, "Connection: keep-alive");
  AppendHeader(impl->headers, "Accept:");

  CURL* curl = handle.get();
  Curl()->easy_setopt(curl, CURLOPT_USERAGENT, kAgent);
  Curl()->easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
  Curl()->easy_setopt(curl, CURLOPT_HTTPHEADER, impl->headers.get());
  Curl()->easy_setopt(curl, CURLOPT_PROXY, "");  // direct, whatever the environment says
  Curl()->easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  Curl()->easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
  // A host reached over TLS is never left for plain HTTP: its redirects may only go to https.
  Curl()->easy_setopt(curl, CURLOPT_PROTOCOLS_STR, target.https ? "https" : "http,https");
  Curl()->easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, target.https ? "https" : "http,https");
  ApplyTrust(curl, context_.deploy());
  Curl()->easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  Curl()->easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  Curl()->easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CollectBody);
  if (void* share = context_.cookies().share_handle()) {
    Curl()->easy_setopt(curl, CURLOPT_SHARE, share);
    // An empty file name switches the cookie engine on without reading any file: the shared
    // store was loaded once, by its owner.
    Curl()->easy_setopt(curl, CURLOPT_COOKIEFILE, "");
  }
  impl->handle = std::move(handle);
  impl_ = impl.release();
  return true;
}

std::string WebClient::Fetch(std::string_view path) {
  if (impl_ == nullptr && !Open()) return {};
  CURL* curl = impl_->handle.get();
  const std::string url = impl_->base_url + EscapeRequestPath(path);
  const WebTimeouts& timeouts = context_.timeouts();
  BodySink sink;
  Curl()->easy_setopt(curl, CURLOPT_URL, url.c_str());
  Curl()->easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
  Curl()->easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeouts.total.count()));
  Curl()->easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  const CURLcode result = Curl()->easy_perform(curl);
  Curl()->easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);

  // A transfer that failed part-way (time-out, connection lost, short body) gives no text at
  // all: callers read an empty body as a failed request, while a cut-off one could pass for a
  // short but complete answer.
  std::string body = result == CURLE_OK ? TextOfBody(sink.raw) : std::string();
  if (body == "SUCCESS") VisitSiteAfterSuccess(context_);
  context_.cookies().NotifyChanged();
  return body;
}

}  // namespace qrv
