// The broadcasts of a stress run, drawn at random, and the host's model of
// what each does to the list: shown or hidden, the highlighted row, the rows,
// and the clicks a Send must deliver.
#include <string>

#include "devhost/devhost.h"
#include "devhost/stress/stress.h"
#include "host/host.h"

namespace stress {

void Stress::RandomBroadcast() {
    const int roll = Pick(100);
    if (roll < 40) {
        Broadcast(NEXT, "@Marrowick.Next", nullptr);
    } else if (roll < 60) {
        Broadcast(PREV, "@Marrowick.Prev", nullptr);
    } else if (roll < 70) {
        Broadcast(CANCEL, "@Marrowick.Cancel", nullptr);
    } else if (roll < 96) {
        static const char SPACES[] = " \t\n\v\f\r";
        const Click& click = CLICKS[Pick(6)];
        // Mostly one space; else one to four of any white space.
        std::string gap = " ";
        if (Chance(0.2)) {
            gap.clear();
            for (int n = 1 + Pick(4); n > 0; --n) gap += SPACES[Pick(6)];
        }
        Broadcast(SEND, "@Marrowick.Send" + gap + click.name, &click);
    } else {
        Broadcast(OTHER, Chance(0.5) ? "@Other.Next" : "Marrowick.Next", nullptr);
    }
}

void Stress::ExpectClick(const Click& click) {
    const int size = GetTraySize();
    Owner* owner = nullptr;
    const TrayEntry* entry = nullptr;
    if (model_.selected < size) {
        entry = GetTrayIcon(model_.selected);
        owner = OwnerOfWindow(entry->hWnd);
    }
    if (!owner) {
        ++counts_.clicks_to_nobody;  // the entry or its owner window is gone
        return;
    }
    ++counts_.clicks;
    for (const char* message : click.messages) {
        if (!message) break;
        expected_.push_back(owner->name + " id=" + std::to_string(entry->uID) + " " + message);
        ++counts_.messages;
    }
}

void Stress::Broadcast(Command command, const std::string& text, const Click* click) {
    ++step_;
    ++counts_.broadcasts;
    // What the list must do, worked out from the tray before the broadcast.
    const int size = GetTraySize();
    bool dead = false;
    for (int i = 0; i < size && !dead; ++i) dead = !IsWindow(GetTrayIcon(i)->hWnd);
    const bool shows = (command == NEXT || command == PREV) && !model_.visible;
    switch (command) {
        case NEXT:
        case PREV:
            ++(shows ? counts_.shows : counts_.moves);
            break;
        case CANCEL:
            counts_.hides += model_.visible;
            model_.visible = false;
            break;
        case SEND:
            ++counts_.sends;
            if (model_.visible) ExpectClick(*click);
            model_.visible = false;
            break;
        case OTHER:
            ++counts_.others;
            break;
    }

    const int purges = PurgeRequests();
    Deliver(MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(const_cast<char*>(text.c_str())));
    if (shows) {
        model_.visible = true;
        model_.selected = 0;
        model_.count = dead ? GetTraySize() : size;
    }
    if (command == NEXT && !shows && ++model_.selected >= model_.count) model_.selected = 0;
    if (command == PREV) {
        if (shows) model_.selected = model_.count;
        if (--model_.selected < 0) model_.selected = model_.count > 0 ? model_.count - 1 : 0;
    }
    const int purged = PurgeRequests() - purges;
    counts_.purges += purged;
    if (purged != (shows && dead ? 1 : 0))
        Error("%d purges for \"%s\" (a dead owner in the tray: %d)", purged, Escaped(text).c_str(),
              dead);

    UpdateWindow(list_);
    PumpMessages();
    CheckResources();
    CheckList(command == NEXT || command == PREV);
}

}  // namespace stress
