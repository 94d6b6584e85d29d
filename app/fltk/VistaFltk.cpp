// The FLTK view: window, timers, message boxes, pending events, the end.
#include "VistaFltk.h"

#include <cstdio>
#include <functional>
#include <unistd.h>

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>

#include "Decorazioni.h"
#include "Disegno.h"
#include "FinestraPrincipale.h"
#include "RiquadroMessaggio.h"
#include "app/frmPrincipale.h"

namespace noce {

// One of the window's timers as an FLTK timeout.
struct VistaFltk::Orologio {
    VistaFltk* vista;
    const Timer* timer;
    void (frmPrincipale::*tick)();
    bool armato = false;
    int intervallo = 0;

    void Arma() {
        armato = true;
        intervallo = timer->Interval;
        Fl::add_timeout(intervallo / 1000.0, Scatta, this);
    }
    void Disarma() {
        armato = false;
        Fl::remove_timeout(Scatta, this);
    }
    // After every handler: on when the timer is enabled, restarted when its
    // interval changed, off when it was disabled.
    void Allinea() {
        bool vuole = timer->Enabled && timer->Interval > 0;
        if (armato && (!vuole || intervallo != timer->Interval)) Disarma();
        if (vuole && !armato) Arma();
    }
};

VistaFltk::VistaFltk() {
    Fl::visual(FL_DOUBLE | FL_RGB);
}

VistaFltk::~VistaFltk() = default;

void VistaFltk::Collega(frmPrincipale& form) {
    form_ = &form;
    ciclo_ = std::make_unique<Orologio>(Orologio{this, &form.TimerCiclo, &frmPrincipale::TickCiclo});
    scorrimento_ =
        std::make_unique<Orologio>(Orologio{this, &form.tmrScorrimento, &frmPrincipale::TickScorrimento});
}

void VistaFltk::Scatta(void* dati) {
    auto* o = static_cast<Orologio*>(dati);
    // The next tick is armed before this one runs, so that the other timer
    // and this one keep ticking while a handler lets events through; the
    // window's tick guards drop a tick that comes while one is running.
    o->armato = false;
    if (o->timer->Enabled && o->timer->Interval == o->intervallo) {
        o->armato = true;
        Fl::repeat_timeout(o->intervallo / 1000.0, Scatta, o);
    }
    (o->vista->form_->*(o->tick))();
    o->vista->Aggiorna();
}

void VistaFltk::Gestisci(const std::function<void()>& gestore) {
    form_->Evento(gestore);
    Aggiorna();
}

void VistaFltk::Aggiorna() {
    if (!form_) return;
    ciclo_->Allinea();
    scorrimento_->Allinea();
    if (finestra_) finestra_->Aggiorna();
}

void VistaFltk::Mostra() {
    if (!finestra_) {
        finestra_ = std::make_unique<fltk::FinestraPrincipale>(
            *form_, [this](const std::function<void()>& g) { Gestisci(g); });
        finestra_->xclass("NoceInstallazione");
        // Closing the window ends the program there and then: no log line,
        // nothing cleaned up. Escape is no way out of this window.
        finestra_->callback([](Fl_Widget*, void*) {
            if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
            std::fflush(nullptr);
            _exit(0);
        });
        const Fl_RGB_Image* icone[] = {&fltk::Decodifica(immagini::Icona16()), &fltk::Decodifica(immagini::Icona32())};
        finestra_->icons(icone, 2);
        // Every picture of the design is decoded now: a damaged one stops the
        // program before it shows anything.
        for (Controllo* c : form_->Controlli()) {
            if (c->Picture) fltk::Decodifica(*c->Picture);
            if (c->MouseIcon) fltk::Decodifica(*c->MouseIcon);
        }
    }
    // Centred on the screen.
    int sx, sy, sw, sh;
    Fl::screen_work_area(sx, sy, sw, sh);
    finestra_->position(sx + (sw - finestra_->w()) / 2, sy + (sh - finestra_->h()) / 2);
    Aggiorna();
    finestra_->show();
    fltk::SoloChiusura(*finestra_, true);
    finestra_->wait_for_expose();
}

int VistaFltk::Esegui() {
    Aggiorna();
    while (Fl::first_window()) Fl::wait();
    return 0;
}

int VistaFltk::MsgBox(const std::string& testo, Pulsanti pulsanti, Icona icona, const std::string& titolo) {
    // What the handler changed before asking shows behind the box.
    Aggiorna();
    int risposta = fltk::MostraRiquadro(testo, pulsanti, icona, titolo, finestra_.get());
    Aggiorna();
    return risposta;
}

void VistaFltk::DoEvents() {
    Aggiorna();
    Fl::check();
}

void VistaFltk::End() {
    // Every file is closed after each call: only the streams need flushing.
    std::fflush(nullptr);
    _exit(0);
}

}  // namespace noce
