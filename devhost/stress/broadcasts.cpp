// The broadcasts of a stress run, drawn at random, and the host's model of
// what each does to the list: shown or hidden, the highlighted row, the rows,
// the entry the user was shown highlighted, and the clicks a Send must
// deliver.
#include <string>

#include "devhost/log/escape.h"
#include "devhost/log/log.h"
#include "devhost/shell/shell.h"
#include "devhost/stress/run.h"
#include "host/host.h"

namespace stress {
namespace {

// "window 0x1a2b id 3", or "none", for the errors.
std::string EntryText(const std::optional<Icon>& icon) {
    return icon ? "window " + Hex(icon->owner) + " id " + std::to_string(icon->id) : "none";
}

}  // namespace

// Next, Prev, Cancel, Send with one of the six click names, or a broadcast
// meant for another plug-in.
void Stress::RandomBroadcast() {
    const int roll = Pick(100);
    if (roll < 40) {
        Broadcast(NEXT, "@Marrowick.Next", nullptr);
    } else if (roll < 60) {
        Broadcast(PREV, "@Marrowick.Prev", nullptr);
    } else if (roll < 70) {
        Broadcast(CANCEL, "@Marrowick.Cancel", nullptr);
    } else if (roll < 96) {
        const Click& click = CLICKS[Pick(6)];
        Broadcast(SEND, "@Marrowick.Send" + RandomGap() + click.name, &click);
    } else {
        Broadcast(OTHER, Chance(0.5) ? "@Other.Next" : "Marrowick.Next", nullptr);
    }
}

// What goes between Send and the click name: mostly one space; else one to
// four of any white space.
std::string Stress::RandomGap() {
    static const char SPACES[] = " \t\n\v\f\r";
    std::string gap = " ";
    if (Chance(0.2)) {
        gap.clear();
        for (int n = 1 + Pick(4); n > 0; --n) gap += SPACES[Pick(6)];
    }
    return gap;
}

// One broadcast: the model's prediction from the tray before it, the
// broadcast, the model's show and move, and the checks once the list has
// painted.
void Stress::Broadcast(Command command, const std::string& text, const Click* click) {
    ++step_;
    ++counts_.broadcasts;
    const Prediction prediction = Predict(command, click);
    if (interactive_ && prediction.shows) SettleOwners();
    const int purges = PurgeRequests();
    Deliver(MSG_BROADCAST, 0, reinterpret_cast<LPARAM>(const_cast<char*>(text.c_str())));
    ShowAndMove(command, prediction);
    CheckPurges(text, prediction, PurgeRequests() - purges);
    CheckAfterChange(command == NEXT || command == PREV);
}

// The checks once the list has painted what the change asked for.
void Stress::CheckAfterChange(bool painted) {
    UpdateWindow(list_);
    PumpMessages();
    CheckResources();
    CheckList(painted);
    CheckClickReached();
}

// What the list must do, worked out from the tray before the broadcast: Next
// and Prev show the hidden list or move the highlight, Cancel hides it, Send
// hides it after clicking the highlighted entry.
Prediction Stress::Predict(Command command, const Click* click) {
    Prediction prediction;
    prediction.size = GetTraySize();
    for (int i = 0; i < prediction.size && !prediction.dead; ++i)
        prediction.dead = !IsWindow(GetTrayIcon(i)->hWnd);
    prediction.shows = (command == NEXT || command == PREV) && !model_.visible;
    switch (command) {
        case NEXT:
        case PREV:
            ++(prediction.shows ? counts_.shows : counts_.moves);
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
    return prediction;
}

// The clicks a Send on the shown list delivers: the click's mouse messages
// to the owner of the entry it goes to (ClickedEntry), when that entry and
// its owner window still are. The host awaits them there and nowhere else.
void Stress::ExpectClick(const Click& click) {
    const TrayEntry* entry = ClickedEntry();
    const Owner* owner = entry ? OwnerOfWindow(entry->hWnd) : nullptr;
    counts_.shifted_clicks += model_.shown && ShownIndex() != model_.selected;
    awaited_ = {true, owner, 0, EntryText(model_.shown)};
    if (!owner) {
        ++counts_.clicks_to_nobody;  // the entry or its owner window is gone
        return;
    }
    ++counts_.clicks;
    for (const char* message : click.messages) {
        if (!message) break;
        expected_.push_back(owner->name + " id=" + std::to_string(entry->uID) + " " + message);
        ++counts_.messages;
        ++awaited_.messages;
    }
}

// A click goes to the entry the user was shown highlighted, wherever programs
// adding and removing icons have moved it in the tray since; to the entry
// now at the highlighted row when the list showed none there; to none on a
// list of no rows.
const TrayEntry* Stress::ClickedEntry() const {
    if (model_.count <= 0) return nullptr;
    const int index = model_.shown ? ShownIndex() : model_.selected;
    return index >= 0 && index < GetTraySize() ? GetTrayIcon(index) : nullptr;
}

// Where the entry shown highlighted stands in the tray now; -1 when it is
// gone or none was shown.
int Stress::ShownIndex() const {
    for (int i = 0; model_.shown && i < GetTraySize(); ++i) {
        const TrayEntry* entry = GetTrayIcon(i);
        if (entry->hWnd == model_.shown->owner && entry->uID == model_.shown->id) return i;
    }
    return -1;
}

// The highlight has just moved or the list just shown: it is drawn (and, on
// an interactive list, named) on the model's row, over the entry the tray
// has there now, if any.
void Stress::NoteHighlighted() {
    model_.shown.reset();
    if (model_.selected >= model_.count || model_.selected >= GetTraySize()) return;
    const TrayEntry* entry = GetTrayIcon(model_.selected);
    model_.shown = Icon{entry->hWnd, entry->uID};
}

// The model after the broadcast: a list just shown holds the tray's entries,
// counted after the purge when an owner was dead, with the highlight on its
// first row for Next and its last for Prev; Next and Prev on the shown list
// move the highlight round.
void Stress::ShowAndMove(Command command, const Prediction& prediction) {
    if (prediction.shows) {
        model_.visible = true;
        model_.selected = 0;
        model_.count = prediction.dead ? GetTraySize() : prediction.size;
        if (interactive_) NoteShow();
    }
    if (command == NEXT && !prediction.shows && ++model_.selected >= model_.count)
        model_.selected = 0;
    if (command == PREV) {
        if (prediction.shows) model_.selected = model_.count;
        if (--model_.selected < 0) model_.selected = model_.count > 0 ? model_.count - 1 : 0;
    }
    if (command == NEXT || command == PREV) NoteHighlighted();
}

// A purge is asked for exactly when the list shows over a tray with a dead
// owner.
void Stress::CheckPurges(const std::string& text, const Prediction& prediction, int purged) {
    counts_.purges += purged;
    if (purged != (prediction.shows && prediction.dead ? 1 : 0))
        Error("%d purges for \"%s\" (a dead owner in the tray: %d)", purged, Escaped(text).c_str(),
              prediction.dead);
}

}  // namespace stress
