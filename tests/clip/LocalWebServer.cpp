#include "LocalWebServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

LocalWebServer::LocalWebServer(std::string body, std::string status)
    : m_body(std::move(body)), m_status(std::move(status)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof(address);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(listener, 8) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        return;
    }
    m_socket = listener;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

LocalWebServer::~LocalWebServer() {
    m_stop = true;
    if (m_socket != ~0ull) closesocket(static_cast<SOCKET>(m_socket));
    if (m_thread.joinable()) m_thread.join();
    WSACleanup();
}

CString LocalWebServer::Address(const CString& path) const {
    CString address;
    address.Format(L"http://127.0.0.1:%d%ls", m_port, path.GetString());
    return address;
}

void LocalWebServer::Serve() {
    while (!m_stop) {
        SOCKET client = accept(static_cast<SOCKET>(m_socket), nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        // Read the request head up to its blank line.
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos) {
            int got = recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0) break;
            request.append(buffer, static_cast<size_t>(got));
        }
        std::string reply = "HTTP/1.0 " + m_status + "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                            std::to_string(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body;
        send(client, reply.data(), static_cast<int>(reply.size()), 0);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}
