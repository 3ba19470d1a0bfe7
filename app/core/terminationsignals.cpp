#include "terminationsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {
// SIGINT last: it is handled only when asked for.
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int g_pipe[2] = {-1, -1};
struct sigaction g_previous[std::size(kSignals)];

void onSignal(int signalNumber) {
    // Async-signal-safe only: one byte into a non-blocking pipe, errno left as it was.
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}
} // namespace

CTerminationSignals::CTerminationSignals(QObject* parent, bool interrupt) : QObject(parent) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CTerminationSignals::readPipe);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_installed = true;
    m_count = interrupt ? std::size(kSignals) : std::size(kSignals) - 1;
    for (std::size_t i = 0; i < m_count; ++i)
        m_installed = ::sigaction(kSignals[i], &action, &g_previous[i]) == 0 && m_installed;
}

CTerminationSignals::~CTerminationSignals() {
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < m_count; ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void CTerminationSignals::readPipe() {
    // Several signals before the loop got here end the program once.
    unsigned char bytes[16];
    int last = 0;
    ssize_t n;
    while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0)
        last = bytes[n - 1];
    if (last)
        emit received(last);
}
