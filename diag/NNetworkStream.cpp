#include "NNetworkStream.h"

#include <winsock2.h>
#include <windows.h>

#include "NMem.h"

NNetworkStream::NNetworkStream()
    : serverSocket(0),
      clientSocket(0),
      socketType(0),
      connected(false),
      isServer(false),
      notifyWindow(nullptr),
      port(0),
      event(nullptr)
{
}

NNetworkStream::~NNetworkStream()
{
    // A watching thread still running would call handlers of an object that
    // is going away: without sockets its loop ends within one wait.
    if (clientSocket || serverSocket)
        close();
    for (int i = 0; i < 300 && isRunning(); ++i)
        Sleep(10);
}

const char* NNetworkStream::getName() const { return getClassName(); }
const char* NNetworkStream::getClassName() const { return "NNetworkStream"; }

void NNetworkStream::fail(const NString& error)
{
    errorText = error;
    statusText = "Fehler...";
}

bool NNetworkStream::createClient(void* window, unsigned short portNumber, const NString& hostName)
{
    if (connected) {
        fail("NNetworkStream::createClient(..) : Fehler, Stream ist bereits verbunden.");
        return false;
    }
    if (serverSocket) {
        fail("NNetworkStream::createClient(..) : Fehler, Stream ist bereits als Server gestartet.");
        return false;
    }
    isServer = false;
    notifyWindow = window;
    port = portNumber;
    host = hostName;
    if (connectSocket()) {
        statusText = "Client verbunden.";
        connected = true;
        return true;
    }
    fail(NString("Fehler beim Erzeugen eines TCP-Clients\r\n") + errorText);
    return false;
}

bool NNetworkStream::createServer(void* window, unsigned short portNumber, const NString& hostName)
{
    if (connected) {
        fail("NNetworkStream::createServer(..) : Fehler, Stream ist bereits verbunden.");
        return false;
    }
    isServer = true;
    notifyWindow = window;
    port = portNumber;
    host = hostName;
    if (listenSocket()) {
        statusText = "Server gestartet.";
        return true;
    }
    fail(NString("Fehler beim Erzeugen eines TCP-Servers\r\n") + errorText);
    return false;
}

void NNetworkStream::acceptClient()
{
    SOCKET accepted = accept(static_cast<SOCKET>(serverSocket), nullptr, nullptr);
    if (accepted == INVALID_SOCKET) {
        fail("accept() schlug fehl.");
        WSACleanup();
        clientSocket = 0;
        return;
    }
    // One client at a time: a newer one replaces the older connection.
    if (clientSocket)
        closesocket(static_cast<SOCKET>(clientSocket));
    clientSocket = accepted;
    connected = true;
    statusText = "Client akzeptiert.";
}

void NNetworkStream::close()
{
    if (clientSocket)
        closesocket(static_cast<SOCKET>(clientSocket));
    if (serverSocket)
        closesocket(static_cast<SOCKET>(serverSocket));
    clientSocket = 0;
    serverSocket = 0;
    connected = false;
    statusText = "Verbindung beendet.";
}

bool NNetworkStream::startWatching()
{
    if (!clientSocket && !serverSocket)
        return false;
    if (isRunning())
        return false;
    WSAEVENT created = WSACreateEvent();
    if (created == WSA_INVALID_EVENT)
        return false;
    SOCKET watched = static_cast<SOCKET>(clientSocket ? clientSocket : serverSocket);
    if (WSAEventSelect(watched, created, FD_READ | FD_WRITE | FD_ACCEPT | FD_CLOSE) != 0) {
        WSACloseEvent(created);
        return false;
    }
    event = created;
    if (!start()) {
        WSAEventSelect(watched, created, 0);
        WSACloseEvent(created);
        event = nullptr;
        return false;
    }
    return true;
}

void NNetworkStream::onWorkTread()
{
    WSAEVENT watched = static_cast<WSAEVENT>(event);
    while (clientSocket || serverSocket) {
        // Alertable, so queued APCs of the owner can run on this thread.
        DWORD result = WSAWaitForMultipleEvents(1, &watched, FALSE, 200, TRUE);
        if (result == WSA_WAIT_FAILED) {
            if (WSAGetLastError() == WSAEINPROGRESS)
                continue;
            break;
        }
        if (result == WSA_WAIT_TIMEOUT || result == WSA_WAIT_IO_COMPLETION)
            continue;
        Socket current = clientSocket ? clientSocket : serverSocket;
        WSANETWORKEVENTS events = {};
        if (!current ||
            WSAEnumNetworkEvents(static_cast<SOCKET>(current), watched, &events) != 0) {
            // The socket went while we waited; a still signalled event
            // would otherwise spin the loop.
            WSAResetEvent(watched);
            continue;
        }
        if (events.lNetworkEvents & FD_READ)
            onRead();
        if (events.lNetworkEvents & FD_WRITE)
            onWrite();
        if (events.lNetworkEvents & FD_ACCEPT)
            onAccept();
        if (events.lNetworkEvents & FD_CLOSE)
            onClose();
    }
}

void NNetworkStream::onWorkEnd()
{
    WSAEVENT watched = static_cast<WSAEVENT>(event);
    Socket current = clientSocket ? clientSocket : serverSocket;
    if (current)
        WSAEventSelect(static_cast<SOCKET>(current), watched, 0);
    if (watched)
        WSACloseEvent(watched);
    event = nullptr;
}

bool NNetworkStream::connectSocket() { return false; }
bool NNetworkStream::listenSocket() { return false; }
NString NNetworkStream::readText() { return NString(); }
bool NNetworkStream::writeText(const NString&) { return false; }
void NNetworkStream::onRead() {}
void NNetworkStream::onWrite() {}
void NNetworkStream::onAccept() {}
void NNetworkStream::onClose() {}
bool NNetworkStream::writeData(const NMem&) { return false; }
bool NNetworkStream::readData(NMem&) { return false; }
