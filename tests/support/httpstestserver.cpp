#include "support/httpstestserver.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace veltrin::test {

namespace {

bool SameNameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

struct Route {
    enum class Kind { Answer, Truncated, Silence };
    Kind How = Kind::Answer;
    TestResponse Response;
    std::size_t AnnouncedLength = 0;
};

}  // namespace

std::string TestRequest::Header(const std::string& name) const {
    for (const auto& [key, value] : Headers) {
        if (SameNameNoCase(key, name)) {
            return value;
        }
    }
    return {};
}

struct HttpsTestServer::Impl {
    httplib::SSLServer Server;
    std::thread Listener;
    int Port = -1;
    std::atomic<bool> LoopEnded{false};

    mutable std::mutex Lock;
    std::condition_variable Released;
    bool Stopping = false;
    std::map<std::string, Route> Routes;
    std::vector<TestRequest> Requests;

    explicit Impl(const TestCertificateFiles& certificates)
        : Server(certificates.ServerCertFile.c_str(), certificates.ServerKeyFile.c_str()) {}

    void Handle(const httplib::Request& request, httplib::Response& response);
};

void HttpsTestServer::Impl::Handle(const httplib::Request& request, httplib::Response& response) {
    std::unique_lock<std::mutex> guard(Lock);
    const auto found = Routes.find(request.path);
    if (found == Routes.end()) {
        response.status = 404;
        response.set_content("not found", "text/plain");
        return;
    }
    const Route route = found->second;
    switch (route.How) {
        case Route::Kind::Silence:
            Released.wait(guard, [this] { return Stopping; });
            response.status = 503;
            return;
        case Route::Kind::Truncated: {
            const std::string body = route.Response.Body;
            response.set_content_provider(
                route.AnnouncedLength, route.Response.ContentType,
                [body](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                    if (offset < body.size()) {
                        sink.write(body.data() + offset, body.size() - offset);
                        return true;
                    }
                    return false;  // breaks the connection before the announced end
                });
            return;
        }
        case Route::Kind::Answer:
            response.status = route.Response.Status;
            for (const auto& [name, value] : route.Response.Headers) {
                response.headers.emplace(name, value);
            }
            if (route.Response.Chunked) {
                const std::string body = route.Response.Body;
                response.set_chunked_content_provider(
                    route.Response.ContentType,
                    [body](std::size_t offset, httplib::DataSink& sink) {
                        const std::size_t piece = std::min<std::size_t>(4096, body.size() - offset);
                        if (piece > 0) {
                            sink.write(body.data() + offset, piece);
                        }
                        if (offset + piece >= body.size()) {
                            sink.done();
                        }
                        return true;
                    });
                return;
            }
            response.set_content(route.Response.Body, route.Response.ContentType);
            return;
    }
}

HttpsTestServer::HttpsTestServer(const TestCertificateFiles& certificates, int port,
                                 int idleSeconds)
    : impl_(std::make_unique<Impl>(certificates)) {
    Impl& impl = *impl_;
    if (!impl.Server.is_valid()) {
        return;
    }
    // Short by default, so that stopping never waits long for an idle connection.
    impl.Server.set_keep_alive_timeout(idleSeconds);
    impl.Server.set_pre_routing_handler(
        [&impl](const httplib::Request& request, httplib::Response&) {
            TestRequest seen;
            seen.Path = request.path;
            seen.Target = request.target;
            for (const auto& [name, value] : request.headers) {
                seen.Headers.emplace_back(name, value);
            }
            std::lock_guard<std::mutex> guard(impl.Lock);
            impl.Requests.push_back(std::move(seen));
            return httplib::Server::HandlerResponse::Unhandled;
        });
    // Every path, also one that holds line breaks (which "." does not match).
    impl.Server.Get(R"([\s\S]*)",
                    [&impl](const httplib::Request& request, httplib::Response& response) {
                        impl.Handle(request, response);
                    });
    if (port == 0) {
        impl.Port = impl.Server.bind_to_any_port("127.0.0.1");
    } else if (impl.Server.bind_to_port("127.0.0.1", port)) {
        impl.Port = port;
    }
    if (impl.Port <= 0) {
        impl.Port = -1;
        return;
    }
    // The socket listens from here on; connections wait in its backlog until the loop runs.
    impl.Listener = std::thread([&impl] {
        impl.Server.listen_after_bind();
        impl.LoopEnded = true;
    });
}

HttpsTestServer::~HttpsTestServer() {
    {
        std::lock_guard<std::mutex> guard(impl_->Lock);
        impl_->Stopping = true;
    }
    impl_->Released.notify_all();
    if (impl_->Listener.joinable()) {
        // stop() does nothing before the accept loop runs, so wait for the loop to start (or
        // to have given up) first.
        while (!impl_->LoopEnded.load()) {
            if (impl_->Server.is_running()) {
                impl_->Server.stop();
                break;
            }
            std::this_thread::yield();
        }
        impl_->Listener.join();
    }
}

bool HttpsTestServer::IsRunning() const {
    return impl_->Port > 0;
}

int HttpsTestServer::Port() const {
    return impl_->Port;
}

std::string HttpsTestServer::Origin() const {
    return "https://127.0.0.1:" + std::to_string(impl_->Port);
}

void HttpsTestServer::Serve(const std::string& path, TestResponse response) {
    std::lock_guard<std::mutex> guard(impl_->Lock);
    Route& route = impl_->Routes[path];
    route = Route{};
    route.Response = std::move(response);
}

void HttpsTestServer::ServeText(const std::string& path, const std::string& body) {
    TestResponse response;
    response.Body = body;
    Serve(path, std::move(response));
}

void HttpsTestServer::Remove(const std::string& path) {
    std::lock_guard<std::mutex> guard(impl_->Lock);
    impl_->Routes.erase(path);
}

bool HttpsTestServer::ServeDirectory(const std::string& prefix, const std::string& directory) {
    return impl_->Server.set_mount_point(prefix, directory);
}

void HttpsTestServer::ServeTruncated(const std::string& path, const std::string& body,
                                     std::size_t announcedLength) {
    std::lock_guard<std::mutex> guard(impl_->Lock);
    Route& route = impl_->Routes[path];
    route = Route{};
    route.How = Route::Kind::Truncated;
    route.Response.Body = body;
    route.AnnouncedLength = announcedLength;
}

void HttpsTestServer::ServeSilence(const std::string& path) {
    std::lock_guard<std::mutex> guard(impl_->Lock);
    Route& route = impl_->Routes[path];
    route = Route{};
    route.How = Route::Kind::Silence;
}

std::vector<TestRequest> HttpsTestServer::Requests() const {
    std::lock_guard<std::mutex> guard(impl_->Lock);
    return impl_->Requests;
}

void HttpsTestServer::ClearRequests() {
    std::lock_guard<std::mutex> guard(impl_->Lock);
    impl_->Requests.clear();
}

void HttpsTestServer::Wait() {
    if (impl_->Listener.joinable()) {
        impl_->Listener.join();
    }
}

}  // namespace veltrin::test
