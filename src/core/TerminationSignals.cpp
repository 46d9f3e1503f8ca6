#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {
// The handler only notes the request and wakes the event loop through the pipe.
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_requested = 0;
struct sigaction g_previousTerm
{
};
struct sigaction g_previousHangUp
{
};
struct sigaction g_previousInterrupt
{
};

void noteRequest(int)
{
    const int saved = errno;
    g_requested = 1;
    if (g_pipe[1] >= 0)
        (void)!::write(g_pipe[1], "x", 1);
    errno = saved;
}
} // namespace

bool TerminationRequested()
{
    return g_requested != 0;
}

TerminationSignals::TerminationSignals(std::function<void()> onRequest, QObject *parent)
    : QObject(parent)
    , m_onRequest(std::move(onRequest))
{
    g_requested = 0;
    // Without a pipe the signals keep their default action: the program ends at once.
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::takeRequest);

    struct sigaction action
    {
    };
    action.sa_handler = noteRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &g_previousTerm);
    sigaction(SIGHUP, &action, &g_previousHangUp);
    sigaction(SIGINT, &action, &g_previousInterrupt);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    sigaction(SIGTERM, &g_previousTerm, nullptr);
    sigaction(SIGHUP, &g_previousHangUp, nullptr);
    sigaction(SIGINT, &g_previousInterrupt, nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::takeRequest()
{
    char drained[16];
    while (::read(g_pipe[0], drained, sizeof drained) > 0) { }
    if (m_onRequest)
        m_onRequest();
}
