#include "http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <optional>

#include "exporter_log.h"
#include "http_gzip.h"
#include "http_request.h"

namespace orv_exporter {

struct HttpServer::Pending {
  MHD_Connection* connection = nullptr;
  HttpRequest request;
  std::optional<std::pair<std::string, std::string>> credentials;
  bool queued = false;  // touched by the event thread only
  // Written by a handler thread before it resumes the connection; read by
  // the event thread after (the resume's lock orders the two).
  Response response;
};

namespace {

constexpr unsigned kListenBacklog = 1024;
constexpr const char* kRealm = "orv_exporter";

MHD_Result collect_field(void* fields, MHD_ValueKind, const char* key, const char* value) {
  static_cast<HttpFields*>(fields)->emplace_back(key != nullptr ? key : "",
                                                 value != nullptr ? value : "");
  return MHD_YES;
}

void log_library_message(void*, const char* format, va_list arguments) {
  char line[512];
  std::vsnprintf(line, sizeof line, format, arguments);
  const size_t length = std::strlen(line);
  if (length > 0 && line[length - 1] == '\n') line[length - 1] = '\0';
  log(LogLevel::kDebug, "http server", {{"detail", line}});
}

MHD_Result send_response(MHD_Connection* connection, const Response& answer) {
  MHD_Response* response = MHD_create_response_from_buffer(
      answer.body.size(), const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
  if (response == nullptr) return MHD_NO;
  MHD_add_response_header(response, "Content-Type", answer.content_type.c_str());
  MHD_add_response_header(response, "Cache-Control", "no-store");
  for (const auto& [name, value] : answer.headers) {
    MHD_add_response_header(response, name.c_str(), value.c_str());
  }
  const MHD_Result queued =
      MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
  MHD_destroy_response(response);
  return queued;
}

// "+9470", "9470", "1.2.3.4:80" or "[::1]:80" (as listening_ports writes
// them) as the daemon's port, flags and, for a given host, its address.
struct Binding {
  uint16_t port = 0;
  unsigned flags = 0;
  sockaddr_storage address{};
  bool has_address = false;
};

Binding binding_for(const std::string& ports) {
  Binding b;
  if (ports.front() == '+') {
    b.flags = MHD_USE_DUAL_STACK;
    b.port = static_cast<uint16_t>(std::stoul(ports.substr(1)));
    return b;
  }
  const size_t colon = ports.rfind(':');
  if (colon == std::string::npos) {
    b.port = static_cast<uint16_t>(std::stoul(ports));
    return b;
  }
  b.port = static_cast<uint16_t>(std::stoul(ports.substr(colon + 1)));
  const std::string host = ports.substr(0, colon);
  b.has_address = true;
  if (host.front() == '[') {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&b.address);
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(b.port);
    inet_pton(AF_INET6, host.substr(1, host.size() - 2).c_str(), &v6->sin6_addr);
    b.flags = MHD_USE_IPv6;
  } else {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&b.address);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(b.port);
    inet_pton(AF_INET, host.c_str(), &v4->sin_addr);
  }
  return b;
}

}  // namespace

struct HttpServerCallbacks {
  static MHD_Result on_request(void* self_pointer, MHD_Connection* connection, const char* url,
                               const char* method, const char*, const char*,
                               size_t* upload_data_size, void** state) {
    auto* self = static_cast<HttpServer*>(self_pointer);
    auto* holder = static_cast<std::shared_ptr<HttpServer::Pending>*>(*state);
    if (holder == nullptr) {
      auto pending = std::make_shared<HttpServer::Pending>();
      pending->connection = connection;
      pending->request.method = method;
      pending->request.path = url;
      MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, &collect_field,
                                &pending->request.query);
      MHD_get_connection_values(connection, MHD_HEADER_KIND, &collect_field,
                                &pending->request.headers);
      if (self->authorize_) {
        char* password = nullptr;
        char* user = MHD_basic_auth_get_username_password(connection, &password);
        if (user != nullptr) pending->credentials.emplace(user, password ? password : "");
        MHD_free(user);
        MHD_free(password);
      }
      *state = new std::shared_ptr<HttpServer::Pending>(std::move(pending));
      std::lock_guard lock(self->mutex_);
      ++self->open_requests_;
      return MHD_YES;
    }
    HttpServer::Pending& pending = **holder;
    if (*upload_data_size != 0) {  // no handler reads a body
      *upload_data_size = 0;
      return MHD_YES;
    }
    if (!pending.queued) {
      pending.queued = true;
      std::unique_lock lock(self->mutex_);
      if (self->stopping_) {  // the handler threads are ending
        lock.unlock();
        return send_response(connection, text_response(503, "the exporter is stopping"));
      }
      MHD_suspend_connection(connection);
      self->queue_.push_back(*holder);
      lock.unlock();
      self->queued_cv_.notify_one();
      return MHD_YES;
    }
    return send_response(connection, pending.response);
  }

  static void on_completed(void* self_pointer, MHD_Connection*, void** state,
                           MHD_RequestTerminationCode) {
    auto* holder = static_cast<std::shared_ptr<HttpServer::Pending>*>(*state);
    if (holder == nullptr) return;
    delete holder;
    *state = nullptr;
    auto* self = static_cast<HttpServer*>(self_pointer);
    {
      std::lock_guard lock(self->mutex_);
      --self->open_requests_;
    }
    self->answered_cv_.notify_all();
  }
};

HttpServer::HttpServer(Handler serve, Authorizer authorize)
    : serve_(std::move(serve)), authorize_(std::move(authorize)) {}

HttpServer::~HttpServer() { stop(); }

bool HttpServer::start(const HttpServerSettings& settings, std::string& error) {
  const std::optional<std::string> ports =
      listening_ports(settings.listen_address, MHD_is_feature_supported(MHD_FEATURE_IPv6));
  if (!ports) {
    error = "--web.listen-address \"" + settings.listen_address +
            "\" is not [HOST]:PORT with a numeric host";
    return false;
  }
  Binding binding = binding_for(*ports);
  // TURBO: read, write and accept at once rather than after the event loop
  // says a socket is ready, saving a round of epoll per request.
  unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG |
                   MHD_USE_TURBO |
                   binding.flags;
  std::vector<MHD_OptionItem> options = {
      {MHD_OPTION_CONNECTION_LIMIT, settings.max_connections, nullptr},
      {MHD_OPTION_CONNECTION_TIMEOUT, settings.idle_timeout_seconds, nullptr},
      {MHD_OPTION_LISTEN_BACKLOG_SIZE, kListenBacklog, nullptr}};
  if (settings.max_connections_per_address > 0) {
    options.push_back(
        {MHD_OPTION_PER_IP_CONNECTION_LIMIT, settings.max_connections_per_address, nullptr});
  }
  if (binding.has_address) options.push_back({MHD_OPTION_SOCK_ADDR, 0, &binding.address});
  if (!settings.tls_cert_pem.empty()) {
    if (MHD_is_feature_supported(MHD_FEATURE_TLS) != MHD_YES) {
      error = "this build of libmicrohttpd has no TLS";
      return false;
    }
    tls_cert_ = settings.tls_cert_pem;
    tls_key_ = settings.tls_key_pem;
    flags |= MHD_USE_TLS;
    options.push_back({MHD_OPTION_HTTPS_MEM_CERT, 0, tls_cert_.data()});
    options.push_back({MHD_OPTION_HTTPS_MEM_KEY, 0, tls_key_.data()});
  }
  options.push_back({MHD_OPTION_END, 0, nullptr});
  for (int i = 0; i < settings.handler_threads; ++i) workers_.emplace_back([this] { work(); });
  daemon_ = MHD_start_daemon(flags, binding.port, nullptr, nullptr,
                             &HttpServerCallbacks::on_request, this, MHD_OPTION_NOTIFY_COMPLETED,
                             &HttpServerCallbacks::on_completed, this, MHD_OPTION_EXTERNAL_LOGGER,
                             &log_library_message, nullptr, MHD_OPTION_ARRAY, options.data(),
                             MHD_OPTION_END);
  if (daemon_ == nullptr) {
    stop();
    error = "cannot listen on " + settings.listen_address +
            (settings.tls_cert_pem.empty() ? "" : " (or the TLS certificate or key is unusable)");
    return false;
  }
  accepting_ = true;
  const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
  port_ = info != nullptr ? info->port : binding.port;
  return true;
}

void HttpServer::stop_accepting() {
  if (daemon_ == nullptr || !accepting_) return;
  accepting_ = false;
  const MHD_socket listener = MHD_quiesce_daemon(daemon_);
  if (listener != MHD_INVALID_SOCKET) close(listener);
}

bool HttpServer::drain(std::chrono::milliseconds grace) {
  std::unique_lock lock(mutex_);
  return answered_cv_.wait_for(lock, grace, [this] { return open_requests_ == 0; });
}

void HttpServer::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_cv_.notify_all();
  // The workers answer what is queued first: a suspended connection must be
  // resumed before the daemon may stop.
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
  if (daemon_ != nullptr) {
    stop_accepting();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
  }
  std::lock_guard lock(mutex_);
  stopping_ = false;
}

void HttpServer::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    queued_cv_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;
    std::shared_ptr<Pending> pending = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    Response answer;
    if (authorize_ && !(pending->credentials &&
                        authorize_(pending->credentials->first, pending->credentials->second))) {
      answer = text_response(401, "unauthorized");
      answer.headers.emplace_back("WWW-Authenticate",
                                  std::string("Basic realm=\"") + kRealm + "\"");
    } else {
      try {
        answer = compress_for(pending->request, serve_(pending->request));
      } catch (const std::exception& e) {
        log(LogLevel::kError, "request failed", {{"path", pending->request.path}, {"error", e.what()}});
        answer = text_response(500, "internal error");
      }
    }
    pending->response = std::move(answer);
    MHD_resume_connection(pending->connection);
    lock.lock();
  }
}

}  // namespace orv_exporter
