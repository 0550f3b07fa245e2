// debuglisten: shows the trace lines programs send over their debug channel.
//
//   debuglisten [port]       (default 5001)
//
// Listens on the local machine, accepts any number of programs at once and
// prints every received line with the time it arrived. Ends with Ctrl+C.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Client {
    SOCKET socket;
    int number;
    std::string pending;
};

void printStamped(int number, const std::string& text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::printf("%02u:%02u:%02u.%03u [%d] %s\n", now.wHour, now.wMinute, now.wSecond,
                now.wMilliseconds, number, text.c_str());
    // Flushed per line, so the output can be followed through a pipe.
    std::fflush(stdout);
}

// Prints the complete lines of `pending` and keeps an unfinished rest.
void printLines(Client& client)
{
    size_t start = 0;
    size_t end;
    while ((end = client.pending.find('\n', start)) != std::string::npos) {
        size_t length = end - start;
        if (length > 0 && client.pending[end - 1] == '\r')
            --length;
        printStamped(client.number, client.pending.substr(start, length));
        start = end + 1;
    }
    client.pending.erase(0, start);
}

}  // namespace

int main(int argc, char** argv)
{
    int port = 5001;
    if (argc > 1) {
        char* end = nullptr;
        long value = std::strtol(argv[1], &end, 10);
        if (!end || *end || value < 1 || value > 65535) {
            std::fprintf(stderr, "Aufruf: debuglisten [port]   (port 1..65535, Vorgabe 5001)\n");
            return 1;
        }
        port = static_cast<int>(value);
    }

    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        std::fprintf(stderr, "debuglisten: Winsock konnte nicht gestartet werden\n");
        return 2;
    }
    SOCKET server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<unsigned short>(port));
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (server == INVALID_SOCKET ||
        bind(server, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        listen(server, 5) != 0) {
        std::fprintf(stderr, "debuglisten: Port %d ist nicht frei (Fehler %d)\n", port,
                     WSAGetLastError());
        return 2;
    }
    std::printf("debuglisten: warte auf Port %d\n", port);
    std::fflush(stdout);

    std::vector<Client> clients;
    int nextNumber = 1;
    for (;;) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(server, &readable);
        for (const Client& client : clients)
            FD_SET(client.socket, &readable);
        if (select(0, &readable, nullptr, nullptr, nullptr) == SOCKET_ERROR) {
            std::fprintf(stderr, "debuglisten: select schlug fehl (Fehler %d)\n", WSAGetLastError());
            return 3;
        }
        if (FD_ISSET(server, &readable)) {
            SOCKET accepted = accept(server, nullptr, nullptr);
            // select handles at most FD_SETSIZE sockets, the server among them.
            if (accepted != INVALID_SOCKET && clients.size() + 1 >= FD_SETSIZE) {
                closesocket(accepted);
            } else if (accepted != INVALID_SOCKET) {
                clients.push_back(Client{accepted, nextNumber++, std::string()});
                printStamped(clients.back().number, "--- verbunden ---");
            }
        }
        for (size_t i = 0; i < clients.size();) {
            Client& client = clients[i];
            if (!FD_ISSET(client.socket, &readable)) {
                ++i;
                continue;
            }
            char block[4096];
            int received = recv(client.socket, block, sizeof block, 0);
            if (received > 0) {
                client.pending.append(block, received);
                printLines(client);
                ++i;
                continue;
            }
            if (!client.pending.empty())
                printStamped(client.number, client.pending);
            printStamped(client.number, "--- getrennt ---");
            closesocket(client.socket);
            clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}
