// debuglisten: shows the trace lines programs send over their debug channel.
//
//   debuglisten [port]       (default 5001)
//
// Listens on the local machine, accepts any number of programs at once and
// prints every received line with the time it arrived and the number of the
// connection. Lines are ANSI text; they appear in a console as Unicode and
// are written as UTF-8 when the output is redirected. A line longer than
// 64 KiB is printed in pieces of that size, each following piece marked with
// "+" after the number, so a sender without line ends costs bounded memory.
// Ends with Ctrl+C.
#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "NConsole.h"

namespace {

const size_t longestPiece = 65536;

struct Client {
    SOCKET socket;
    int number;
    std::string pending;
    // How much of pending is known to hold no line end.
    size_t searched;
    // The next piece continues a longer line.
    bool continued;
};

NConsole out(NConsole::standardOutput);

void printStamped(const Client& client, const char* text, size_t length, bool continued)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring time = std::to_wstring(100 + now.wHour).substr(1) + L":" +
                              std::to_wstring(100 + now.wMinute).substr(1) + L":" +
                              std::to_wstring(100 + now.wSecond).substr(1) + L"." +
                              std::to_wstring(1000 + now.wMilliseconds).substr(1);
    // Written at once per line, so the output can be followed through a pipe.
    out.write(time + L" [" + std::to_wstring(client.number) + (continued ? L"]+ " : L"] ") +
              NConsole::fromAnsi(text, length) + L"\r\n");
}

// Prints the complete lines of `pending`, and the pieces of a line that
// grew past the longest piece; keeps the unfinished rest. Every byte is
// searched once.
void printLines(Client& client)
{
    std::string& pending = client.pending;
    size_t start = 0;
    size_t end = pending.find('\n', client.searched);
    for (;;) {
        if (end != std::string::npos && end - start <= longestPiece) {
            size_t length = end - start;
            if (length > 0 && pending[end - 1] == '\r')
                --length;
            printStamped(client, pending.data() + start, length, client.continued);
            client.continued = false;
            start = end + 1;
            end = pending.find('\n', start);
        } else if (end != std::string::npos || pending.size() - start > longestPiece) {
            printStamped(client, pending.data() + start, longestPiece, client.continued);
            client.continued = true;
            start += longestPiece;
        } else {
            break;
        }
    }
    pending.erase(0, start);
    client.searched = pending.size();
}

}  // namespace

int main(int argc, char** argv)
{
    int port = 5001;
    if (argc > 1) {
        char* end = nullptr;
        long value = std::strtol(argv[1], &end, 10);
        if (!end || *end || value < 1 || value > 65535) {
            NConsole(NConsole::standardError).write(L"Aufruf: debuglisten [port]   (port 1..65535, Vorgabe 5001)\r\n");
            return 1;
        }
        port = static_cast<int>(value);
    }

    NConsole err(NConsole::standardError);
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        err.write(L"debuglisten: Winsock konnte nicht gestartet werden\r\n");
        return 2;
    }
    SOCKET server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<unsigned short>(port));
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (server == INVALID_SOCKET || bind(server, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        listen(server, 5) != 0) {
        err.write(L"debuglisten: Port " + std::to_wstring(port) + L" ist nicht frei (Fehler " +
                  std::to_wstring(WSAGetLastError()) + L")\r\n");
        return 2;
    }
    out.write(L"debuglisten: warte auf Port " + std::to_wstring(port) + L"\r\n");

    std::vector<Client> clients;
    std::vector<char> block(1 << 16);
    int nextNumber = 1;
    for (;;) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(server, &readable);
        for (const Client& client : clients)
            FD_SET(client.socket, &readable);
        if (select(0, &readable, nullptr, nullptr, nullptr) == SOCKET_ERROR) {
            err.write(L"debuglisten: select schlug fehl (Fehler " + std::to_wstring(WSAGetLastError()) + L")\r\n");
            return 3;
        }
        if (FD_ISSET(server, &readable)) {
            SOCKET accepted = accept(server, nullptr, nullptr);
            // select handles at most FD_SETSIZE sockets, the server among them.
            if (accepted != INVALID_SOCKET && clients.size() + 1 >= FD_SETSIZE) {
                closesocket(accepted);
            } else if (accepted != INVALID_SOCKET) {
                clients.push_back(Client{accepted, nextNumber++, std::string(), 0, false});
                printStamped(clients.back(), "--- verbunden ---", 17, false);
            }
        }
        for (size_t i = 0; i < clients.size();) {
            Client& client = clients[i];
            if (!FD_ISSET(client.socket, &readable)) {
                ++i;
                continue;
            }
            const int received = recv(client.socket, block.data(), static_cast<int>(block.size()), 0);
            if (received > 0) {
                client.pending.append(block.data(), static_cast<size_t>(received));
                printLines(client);
                ++i;
                continue;
            }
            if (!client.pending.empty())
                printStamped(client, client.pending.data(), client.pending.size(), client.continued);
            printStamped(client, "--- getrennt ---", 16, false);
            closesocket(client.socket);
            clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}
