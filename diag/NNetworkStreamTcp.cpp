#include "NNetworkStreamTcp.h"

#include <winsock2.h>
#include <windows.h>

#include <cstring>

#include "NMem.h"
#include "NSystem.h"

namespace {

// Events a notification window receives, as message 0x4402.
const unsigned int notifyMessage = 0x4402;
const long notifyEvents = FD_READ | FD_ACCEPT | FD_CLOSE;
const int chunkSize = 1000;

}  // namespace

NNetworkStreamTcp::NNetworkStreamTcp() { socketType = SOCK_STREAM; }
NNetworkStreamTcp::~NNetworkStreamTcp() {}

const char* NNetworkStreamTcp::getName() const { return getClassName(); }
const char* NNetworkStreamTcp::getClassName() const { return "NNetworkStreamTcp"; }

void NNetworkStreamTcp::failStep(const char* step, unsigned int code)
{
    errorText = NString(step) + NSystem::getErrorText(code);
    close();
}

bool NNetworkStreamTcp::startWinsock()
{
    WSADATA data;
    // WSAStartup reports its error by its result, not through GetLastError.
    int result = WSAStartup(MAKEWORD(2, 2), &data);
    if (result != 0) {
        failStep("WSAStartup(..) schlug fehl.\r\n", static_cast<unsigned int>(result));
        return false;
    }
    return true;
}

bool NNetworkStreamTcp::connectSocket()
{
    if (!startWinsock())
        return false;

    hostent* entry = gethostbyname(host.getBuffer());
    if (!entry) {
        unsigned long address = inet_addr(host.getBuffer());
        entry = gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET);
    }
    if (!entry || !entry->h_addr_list || !entry->h_addr_list[0]) {
        unsigned int code = GetLastError();
        NString step = NString("Kann Server-Name/Adresse '") + host + "' nicht aufl\xF6sen.\r\n";
        failStep(step.getBuffer(), code);
        return false;
    }

    sockaddr_in target = {};
    target.sin_family = entry->h_addrtype;
    std::memcpy(&target.sin_addr, entry->h_addr_list[0], sizeof target.sin_addr);
    target.sin_port = htons(port);

    SOCKET created = socket(AF_INET, socketType, 0);
    if (created == INVALID_SOCKET) {
        failStep("socket(..) schlug fehl.\r\n", GetLastError());
        return false;
    }
    clientSocket = created;

    if (connect(created, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
        failStep("Fehler beim Verbinden.\r\n", GetLastError());
        return false;
    }
    if (notifyWindow)
        WSAAsyncSelect(created, static_cast<HWND>(notifyWindow), notifyMessage, notifyEvents);
    connected = true;
    return true;
}

bool NNetworkStreamTcp::listenSocket()
{
    // A server started again replaces its listening socket.
    if (serverSocket) {
        closesocket(static_cast<SOCKET>(serverSocket));
        serverSocket = 0;
    }
    if (!startWinsock())
        return false;

    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    unsigned long address = inet_addr(host.getBuffer());
    local.sin_addr.s_addr = address == INADDR_NONE ? INADDR_ANY : address;

    SOCKET created = socket(AF_INET, socketType, 0);
    if (created == INVALID_SOCKET) {
        serverSocket = 0;
        failStep("socket(..) schlug fehl.\r\n", GetLastError());
        return false;
    }
    serverSocket = created;
    if (bind(created, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        failStep("bind(..) schlug fehl.\r\n", GetLastError());
        return false;
    }
    if (listen(created, 5) != 0) {
        failStep("listen(..) schlug fehl.\r\n", GetLastError());
        return false;
    }
    if (notifyWindow)
        WSAAsyncSelect(created, static_cast<HWND>(notifyWindow), notifyMessage, notifyEvents);
    return true;
}

bool NNetworkStreamTcp::sendBytes(const char* bytes, int count)
{
    if (send(static_cast<SOCKET>(clientSocket), bytes, count, 0) == SOCKET_ERROR) {
        fail("Daten konnten nicht gesendet werden.");
        return false;
    }
    return true;
}

bool NNetworkStreamTcp::writeText(const NString& text)
{
    return sendBytes(text.getBuffer(), text.getLength());
}

bool NNetworkStreamTcp::writeData(const NMem& buffer)
{
    return sendBytes(reinterpret_cast<const char*>(buffer.getPointer()), buffer.getSize());
}

NString NNetworkStreamTcp::readText()
{
    NString text;
    if (!connected)
        return text;
    int received;
    do {
        char chunk[chunkSize + 1];
        std::memset(chunk, 0, sizeof chunk);
        received = recv(static_cast<SOCKET>(clientSocket), chunk, chunkSize, 0);
        if (received == SOCKET_ERROR) {
            fail("Lesefehler");
            break;
        }
        text += chunk;
    } while (received == chunkSize);
    return text;
}

bool NNetworkStreamTcp::readData(NMem& buffer)
{
    buffer.setSize(0);
    if (!connected)
        return false;
    int received;
    do {
        char chunk[chunkSize];
        received = recv(static_cast<SOCKET>(clientSocket), chunk, chunkSize, 0);
        if (received == SOCKET_ERROR) {
            fail("Lesefehler");
            return false;
        }
        if (received > 0 && !buffer.append(chunk, received)) {
            fail("Lesefehler");
            return false;
        }
    } while (received == chunkSize);
    return true;
}
