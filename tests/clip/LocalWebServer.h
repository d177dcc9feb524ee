// A one-thread HTTP server on the loopback address that answers every GET
// with a fixed status and body, so that picture downloads can be tested
// without a network.
#pragma once
#include "core/String.h"

#include <atomic>
#include <string>
#include <thread>

class LocalWebServer {
public:
    explicit LocalWebServer(std::string body, std::string status = "200 OK");
    ~LocalWebServer();
    LocalWebServer(const LocalWebServer&) = delete;
    LocalWebServer& operator=(const LocalWebServer&) = delete;

    // "http://127.0.0.1:<port>" + path.
    CString Address(const CString& path) const;
    bool Ready() const { return m_port != 0; }

private:
    void Serve();

    std::string m_body;
    std::string m_status;
    unsigned long long m_socket = ~0ull;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
