#include "tlscaseserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <csignal>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace veltrin::tools {

namespace {

using ContextPtr = std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)>;
using SslPtr = std::unique_ptr<SSL, decltype(&SSL_free)>;

constexpr int kIdleSeconds = 20;
constexpr std::size_t kMaxHead = 16 * 1024;

ContextPtr MakeContext(const std::string& chainFile, const std::string& keyFile) {
    ContextPtr context(SSL_CTX_new(TLS_server_method()), SSL_CTX_free);
    if (!context || SSL_CTX_use_certificate_chain_file(context.get(), chainFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context.get(), keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
        return ContextPtr(nullptr, SSL_CTX_free);
    }
    return context;
}

struct Listener {
    std::string Name;
    ContextPtr First{nullptr, SSL_CTX_free};
    ContextPtr Later{nullptr, SSL_CTX_free};  // null: First for every connection
    int Socket = -1;
    int Port = 0;
    std::string LogFile;
    std::mutex LogMutex;
    std::atomic<int> Connections{0};
};

bool Listen(Listener& listener) {
    listener.Socket = socket(AF_INET, SOCK_STREAM, 0);
    if (listener.Socket < 0) {
        return false;
    }
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (bind(listener.Socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener.Socket, 16) != 0 ||
        getsockname(listener.Socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return false;
    }
    listener.Port = ntohs(address.sin_port);
    return true;
}

void Log(Listener& listener, const std::string& text) {
    const std::lock_guard<std::mutex> lock(listener.LogMutex);
    std::ofstream log(listener.LogFile, std::ios::binary | std::ios::app);
    log << text;
}

// Reads one request head; false when the peer closed, stalled or sent too much.
bool ReadHead(SSL* ssl, std::string& head) {
    head.clear();
    char byte = 0;
    while (head.size() < kMaxHead) {
        if (SSL_read(ssl, &byte, 1) != 1) {
            return false;
        }
        head.push_back(byte);
        if (head.size() >= 4 && head.compare(head.size() - 4, 4, "\r\n\r\n") == 0) {
            return true;
        }
    }
    return false;
}

void Serve(Listener& listener, int client) {
    timeval timeout = {kIdleSeconds, 0};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    const int number = listener.Connections.fetch_add(1) + 1;
    SSL_CTX* context = number == 1 || !listener.Later ? listener.First.get() : listener.Later.get();
    SslPtr ssl(SSL_new(context), SSL_free);
    if (ssl && SSL_set_fd(ssl.get(), client) == 1 && SSL_accept(ssl.get()) == 1) {
        Log(listener, "CONNECTION " + std::to_string(number) + "\n");
        std::string head;
        while (ReadHead(ssl.get(), head)) {
            Log(listener, head);
            const bool isHead = head.compare(0, 5, "HEAD ") == 0;
            // A request for ".../bye" ends its connection, so the client's next one is new.
            const bool bye = head.find("/bye HTTP/") != std::string::npos;
            const std::string body = listener.Name + "\n";
            const std::string answer =
                "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                "Set-Cookie: case=" +
                listener.Name + "; Path=/\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\n" + (bye ? "Connection: close\r\n\r\n" : "\r\n") + (isHead ? "" : body);
            if (SSL_write(ssl.get(), answer.data(), static_cast<int>(answer.size())) <= 0) {
                break;
            }
            if (bye) {
                break;
            }
        }
        SSL_shutdown(ssl.get());
    }
    close(client);
}

void AcceptLoop(Listener& listener) {
    for (;;) {
        const int client = accept(listener.Socket, nullptr, nullptr);
        if (client < 0) {
            continue;
        }
        std::thread([&listener, client] { Serve(listener, client); }).detach();
    }
}

}  // namespace

int RunTlsCaseServer(const std::string& pkiDirectory, const std::string& logDirectory) {
    namespace fs = std::filesystem;
    // A client that hangs up mid-answer must not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::unique_ptr<Listener>> listeners;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(pkiDirectory, error)) {
        const fs::path chain = entry.path();
        fs::path key = chain;
        key.replace_extension(".key");
        if (chain.extension() != ".pem" || chain.stem() == "root" || !fs::exists(key)) {
            continue;
        }
        auto listener = std::make_unique<Listener>();
        listener->Name = chain.stem().string();
        listener->First = MakeContext(chain.string(), key.string());
        if (!listener->First) {
            std::fprintf(stderr, "veltrin-update-server: cannot use %s\n", chain.c_str());
            return 1;
        }
        listeners.push_back(std::move(listener));
    }
    auto switching = std::make_unique<Listener>();
    switching->Name = "switching";
    const fs::path dir(pkiDirectory);
    switching->First =
        MakeContext((dir / "leaf-from-root.pem").string(), (dir / "leaf-from-root.key").string());
    switching->Later =
        MakeContext((dir / "forged-leaf.pem").string(), (dir / "forged-leaf.key").string());
    if (!switching->First || !switching->Later) {
        std::fprintf(stderr, "veltrin-update-server: %s holds no certificate cases\n",
                     pkiDirectory.c_str());
        return 1;
    }
    listeners.push_back(std::move(switching));

    for (auto& listener : listeners) {
        listener->LogFile = (fs::path(logDirectory) / (listener->Name + ".log")).string();
        if (!Listen(*listener)) {
            std::fprintf(stderr, "veltrin-update-server: cannot listen for %s\n",
                         listener->Name.c_str());
            return 1;
        }
        std::printf("%s https://127.0.0.1:%d\n", listener->Name.c_str(), listener->Port);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::vector<std::thread> threads;
    for (auto& listener : listeners) {
        threads.emplace_back([&listener] { AcceptLoop(*listener); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    return 0;
}

}  // namespace veltrin::tools
