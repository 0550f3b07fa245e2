// debuglisten: shows the trace lines programs send over their debug channel.
//
//   debuglisten [port]       (default 5001)
//
// Listens on the local machine, accepts any number of programs at once and
// prints every received line with the time it arrived and the number of the
// connection. Each connection has a thread of its own that waits in recv,
// so there is no limit of 64 sockets as with select or event waits; one
// lock keeps lines whole. Lines are ANSI text; they appear in a console as
// Unicode and are written as UTF-8 when the output is redirected. Control
// characters but tab are shown as \xNN. A line longer than 64 KiB is printed
// in pieces of that size, each following piece marked with "+" after the
// number, so a sender without line ends costs bounded memory. Ends with
// Ctrl+C, or with exit code 4 when its output is closed.
#include <winsock2.h>
#include <windows.h>

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "NConsole.h"

namespace {

enum ExitCode { usageError = 1, noPort = 2, acceptFailed = 3, outputClosed = 4 };

const size_t longestPiece = 65536;

const wchar_t* const helpText =
    L"debuglisten - zeigt die Zeilen des Debug-Kanals von NEK-Programmen.\r\n"
    L"\r\n"
    L"Aufruf:\r\n"
    L"  debuglisten [PORT]     lauscht auf localhost, Port PORT (1..65535, Vorgabe 5001)\r\n"
    L"  debuglisten --help | -h | /?   diese Hilfe\r\n"
    L"\r\n"
    L"Beliebig viele Programme d\xFC" L"rfen zugleich verbunden sein. Jede Zeile erscheint\r\n"
    L"als HH:MM:SS.mmm [n] Text, n ist die Nummer der Verbindung. Steuerzeichen\r\n"
    L"au\xDF" L"er Tabulator erscheinen als \\xNN. Eine Zeile \xFC" L"ber 64 KiB erscheint in\r\n"
    L"St\xFC" L"cken zu 64 KiB, jedes weitere mit [n]+ markiert. Ende mit Strg+C.\r\n"
    L"\r\n"
    L"Exit-Code:\r\n"
    L"  1  falscher Aufruf (unbekannte Option, ung\xFCltiger Port, zu viele Argumente)\r\n"
    L"  2  Winsock nicht verf\xFC" L"gbar oder der Port ist belegt\r\n"
    L"  3  das Warten auf Verbindungen schlug fehl\r\n"
    L"  4  die Ausgabe wurde geschlossen (etwa das Ende einer Pipe)\r\n";

NConsole out(NConsole::standardOutput);
NConsole err(NConsole::standardError);
std::mutex outputLock;

// One line as shown: control characters (but tab) as \xNN, so a sender
// cannot drive the terminal; the rest is ANSI text.
std::wstring shown(const char* text, size_t length)
{
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring line;
    size_t plain = 0;
    for (size_t i = 0; i <= length; ++i) {
        const unsigned char c = i < length ? static_cast<unsigned char>(text[i]) : 0;
        if (i < length && (c >= 0x20 || c == '\t') && c != 0x7F)
            continue;
        for (wchar_t w : NConsole::fromAnsi(text + plain, i - plain)) {
            // Bytes the code page leaves undefined come back as C1 controls.
            if (w >= 0x80 && w < 0xA0)
                line += std::wstring{L'\\', L'x', hex[w >> 4], hex[w & 15]};
            else
                line += w;
        }
        if (i < length)
            line += std::wstring{L'\\', L'x', hex[c >> 4], hex[c & 15]};
        plain = i + 1;
    }
    return line;
}

void printStamped(int number, const char* text, size_t length, bool continued)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring time = std::to_wstring(100 + now.wHour).substr(1) + L":" +
                              std::to_wstring(100 + now.wMinute).substr(1) + L":" +
                              std::to_wstring(100 + now.wSecond).substr(1) + L"." +
                              std::to_wstring(1000 + now.wMilliseconds).substr(1);
    const std::wstring line = time + L" [" + std::to_wstring(number) + (continued ? L"]+ " : L"] ") +
                              shown(text, length) + L"\r\n";
    std::lock_guard<std::mutex> guard(outputLock);
    // Written at once per line, so the output can be followed through a pipe.
    if (!out.write(line)) {
        // No one reads any more (a closed pipe): nothing left to show.
        err.write(L"debuglisten: die Ausgabe ist geschlossen, Ende\r\n");
        ExitProcess(outputClosed);
    }
}

struct Client {
    SOCKET socket;
    int number;
    std::string pending;
    // How much of pending is known to hold no line end.
    size_t searched;
    // The next piece continues a longer line.
    bool continued;
};

// Prints the complete lines of `pending`, and the pieces of a line that
// grew past the longest piece; keeps the unfinished rest. Every byte is
// searched once. The CR of a CR LF does not count to the line's length, so
// a line of exactly one piece gives no empty continuation.
void printLines(Client& client)
{
    std::string& pending = client.pending;
    size_t start = 0;
    size_t end = pending.find('\n', client.searched);
    for (;;) {
        const size_t length = end == std::string::npos ? 0 : end - start - (end > start && pending[end - 1] == '\r');
        // A CR at the very end may begin a CR LF still on its way.
        const size_t open = pending.size() - start - (pending.size() > start && pending.back() == '\r');
        if (end != std::string::npos && length <= longestPiece) {
            printStamped(client.number, pending.data() + start, length, client.continued);
            client.continued = false;
            start = end + 1;
            end = pending.find('\n', start);
        } else if (end != std::string::npos || open > longestPiece) {
            printStamped(client.number, pending.data() + start, longestPiece, client.continued);
            client.continued = true;
            start += longestPiece;
        } else {
            break;
        }
    }
    pending.erase(0, start);
    client.searched = pending.size();
}

DWORD WINAPI serve(void* parameter)
{
    Client* client = static_cast<Client*>(parameter);
    std::vector<char> block(1 << 16);
    for (;;) {
        const int received = recv(client->socket, block.data(), static_cast<int>(block.size()), 0);
        if (received <= 0)
            break;
        client->pending.append(block.data(), static_cast<size_t>(received));
        printLines(*client);
    }
    if (!client->pending.empty())
        printStamped(client->number, client->pending.data(), client->pending.size(), client->continued);
    printStamped(client->number, "--- getrennt ---", 16, false);
    closesocket(client->socket);
    delete client;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int port = 5001;
    if (argc > 1) {
        const std::string argument = argv[1];
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            return out.write(helpText) ? 0 : outputClosed;
        }
        char* end = nullptr;
        const long value = strtol(argv[1], &end, 10);
        if (argc > 2 || !end || *end || value < 1 || value > 65535) {
            err.write(std::wstring(argc > 2 ? L"debuglisten: zu viele Argumente\r\n" : L"debuglisten: ung\xFCltiger Port\r\n") +
                      L"Aufruf: debuglisten [PORT]   (PORT 1..65535, Vorgabe 5001); Hilfe: debuglisten --help\r\n");
            return usageError;
        }
        port = static_cast<int>(value);
    }

    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        err.write(L"debuglisten: Winsock konnte nicht gestartet werden\r\n");
        return noPort;
    }
    SOCKET server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<unsigned short>(port));
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (server == INVALID_SOCKET || bind(server, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        listen(server, SOMAXCONN) != 0) {
        err.write(L"debuglisten: Port " + std::to_wstring(port) + L" ist nicht frei (Fehler " +
                  std::to_wstring(WSAGetLastError()) + L")\r\n");
        return noPort;
    }
    {
        std::lock_guard<std::mutex> guard(outputLock);
        if (!out.write(L"debuglisten: warte auf Port " + std::to_wstring(port) + L"\r\n"))
            return outputClosed;
    }

    int nextNumber = 1;
    for (int failures = 0;;) {
        SOCKET accepted = accept(server, nullptr, nullptr);
        if (accepted == INVALID_SOCKET) {
            // A shortage of sockets or memory may pass; anything else, or a
            // shortage that lasts, ends the viewer.
            const int error = WSAGetLastError();
            if ((error != WSAEMFILE && error != WSAENOBUFS && error != WSAECONNRESET) || ++failures > 100) {
                err.write(L"debuglisten: accept schlug fehl (Fehler " + std::to_wstring(error) + L")\r\n");
                return acceptFailed;
            }
            Sleep(100);
            continue;
        }
        failures = 0;
        Client* client = new Client{accepted, nextNumber++, std::string(), 0, false};
        printStamped(client->number, "--- verbunden ---", 17, false);
        // A small stack: a connection needs little, and there may be thousands.
        HANDLE thread = CreateThread(nullptr, 64 * 1024, serve, client, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (!thread) {
            const char refused[] = "--- abgewiesen: kein Thread frei ---";
            printStamped(client->number, refused, sizeof refused - 1, false);
            closesocket(accepted);
            delete client;
            continue;
        }
        CloseHandle(thread);
    }
}
