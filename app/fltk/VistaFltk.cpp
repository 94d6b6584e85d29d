// The FLTK view: window, timers, message boxes, pending events, the end.
#include "VistaFltk.h"

#include <cstdio>
#include <cstdlib>

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>

#include "Decorazioni.h"
#include "Disegno.h"
#include "FinestraPrincipale.h"
#include "RiquadroMessaggio.h"
#include "app/ComportamentoFinestra.h"
#include "app/frmPrincipale.h"

namespace noce {

VistaFltk::VistaFltk() {
    Fl::visual(FL_DOUBLE | FL_RGB);
    for (std::size_t i = 0; i < timeout_.size(); ++i) timeout_[i] = {this, static_cast<Orologio>(i), 0};
}

VistaFltk::~VistaFltk() = default;

void VistaFltk::Collega(frmPrincipale& form) {
    form_ = &form;
    comportamento_ = std::make_unique<ComportamentoFinestra>(form, static_cast<TimerPeriodici&>(*this));
}

void VistaFltk::Avvia(Orologio quale, int millisecondi) {
    Timeout& o = timeout_[static_cast<std::size_t>(quale)];
    Fl::remove_timeout(Scatta, &o);
    o.secondi = millisecondi / 1000.0;
    Fl::add_timeout(o.secondi, Scatta, &o);
}

void VistaFltk::Ferma(Orologio quale) { Fl::remove_timeout(Scatta, &timeout_[static_cast<std::size_t>(quale)]); }

void VistaFltk::Scatta(void* dati) {
    auto* o = static_cast<Timeout*>(dati);
    // An FLTK timeout fires once: the next one is due before this tick runs.
    Fl::repeat_timeout(o->secondi, Scatta, o);
    o->vista->Ridipingi(o->vista->comportamento_->Scatto(o->quale));
}

void VistaFltk::Ridipingi(const Aggiornamento& a) {
    if (finestra_) finestra_->Ridipingi(a);
}

void VistaFltk::Aggiorna() {
    if (comportamento_) Ridipingi(comportamento_->Aggiorna());
}

void VistaFltk::Mostra() {
    if (!finestra_) {
        finestra_ = std::make_unique<fltk::FinestraPrincipale>(*form_, *comportamento_);
        finestra_->xclass("NoceInstallazione");
        // Closing the window ends the program there and then: no log line,
        // nothing cleaned up. Escape is no way out of this window.
        finestra_->callback([](Fl_Widget*, void*) {
            if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
            std::fflush(nullptr);
            std::_Exit(0);
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
#if NOCE_FLTK_X11
    fltk::SoloChiusura(*finestra_, true);
#endif
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
    // Every file write has reached the system already: only the streams need flushing.
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace noce
