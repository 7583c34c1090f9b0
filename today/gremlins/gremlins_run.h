#pragma once

// Runs a seeded stream of random events against the device and checks its
// rules after each; stops at the first broken rule, with screenshots and a
// script that replays the events so far. yes lets the gremlins answer
// "Yes" to a question.
int RunDeviceGremlins(unsigned seed, long events, bool yes);
