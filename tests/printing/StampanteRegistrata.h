#pragma once

// A printer that writes down every call, so a test can compare the exact
// sequence a print gives.

#include "printing/Stampante.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace vdx::test {

class StampanteRegistrata final : public Stampante {
public:
    // `passo` > 0 makes the printer keep sizes rounded to that step, as a
    // printer with fixed sizes does.
    explicit StampanteRegistrata(std::vector<std::string> dispositivi = {}, double passo = 0.0)
        : dispositivi_(std::move(dispositivi)), passo_(passo) {}

    std::vector<std::string> chiamate;

    std::vector<std::string> NomiDispositivi() override { return dispositivi_; }
    void SelezionaDispositivo(const std::string& nome) override {
        chiamate.push_back("device " + nome);
        dispositivo_ = nome;
    }
    void ImpostaFilePdf(const std::filesystem::path& file) override {
        chiamate.push_back("pdf " + file.string());
        dispositivo_ = file.string();
    }
    std::string DispositivoScelto() const override { return dispositivo_; }
    void SetDuplex(int modo) override { chiamate.push_back("duplex " + std::to_string(modo)); }
    void SetOrientation(int o) override { chiamate.push_back("orient " + std::to_string(o)); }
    void SetFontName(const std::string& nome) override { chiamate.push_back("font " + nome); }
    void SetFontSize(double punti) override {
        size_ = passo_ > 0 ? std::round(punti / passo_) * passo_ : punti;
        char buf[32];
        std::snprintf(buf, sizeof buf, "size %g", punti);
        chiamate.emplace_back(buf);
    }
    double FontSize() const override { return size_; }
    void SetBold(bool b) override { chiamate.push_back(b ? "bold on" : "bold off"); }
    // A fixed-width face: every byte 0.6 of the size wide; the page's width
    // as set (wide enough for anything unless a test narrows it).
    double LarghezzaTesto(const std::string& t, const std::string&, double punti) override {
        return static_cast<double>(t.size()) * 0.6 * punti;
    }
    double LarghezzaUtile(int orientamento) override {
        return orientamento == 2 ? larghezzaOrizzontale : larghezzaVerticale;
    }
    double larghezzaVerticale = 1e9;
    double larghezzaOrizzontale = 1e9;
    // Every line as high as its size; the page's height as set.
    double AltezzaRiga(const std::string&, double punti) override { return punti; }
    double AltezzaUtile(int orientamento) override {
        return orientamento == 2 ? altezzaOrizzontale : altezzaVerticale;
    }
    double altezzaVerticale = 1e9;
    double altezzaOrizzontale = 1e9;
    void PrintText(const std::string& t) override { chiamate.push_back("text '" + t + "'"); }
    void PrintLine(const std::string& t) override { chiamate.push_back("line '" + t + "'"); }
    void NewPage() override { chiamate.emplace_back("page"); }
    void PiePagina(const std::string& t) override { chiamate.push_back("foot '" + t + "'"); }
    void EndDoc() override { chiamate.emplace_back("end"); }

private:
    std::vector<std::string> dispositivi_;
    std::string dispositivo_;
    double passo_;
    double size_ = 0.0;
};

// Hands every call on to a printer the test keeps, for code that owns and
// destroys the printer it is given.
class StampanteInoltro final : public Stampante {
public:
    explicit StampanteInoltro(Stampante& destinazione) : d_(destinazione) {}
    std::vector<std::string> NomiDispositivi() override { return d_.NomiDispositivi(); }
    void SelezionaDispositivo(const std::string& n) override { d_.SelezionaDispositivo(n); }
    void ImpostaFilePdf(const std::filesystem::path& f) override { d_.ImpostaFilePdf(f); }
    std::string DispositivoScelto() const override { return d_.DispositivoScelto(); }
    void SetDuplex(int m) override { d_.SetDuplex(m); }
    void SetOrientation(int o) override { d_.SetOrientation(o); }
    void SetFontName(const std::string& n) override { d_.SetFontName(n); }
    void SetFontSize(double p) override { d_.SetFontSize(p); }
    double FontSize() const override { return d_.FontSize(); }
    void SetBold(bool b) override { d_.SetBold(b); }
    double LarghezzaTesto(const std::string& t, const std::string& f, double p) override {
        return d_.LarghezzaTesto(t, f, p);
    }
    double LarghezzaUtile(int o) override { return d_.LarghezzaUtile(o); }
    double AltezzaRiga(const std::string& f, double p) override { return d_.AltezzaRiga(f, p); }
    double AltezzaUtile(int o) override { return d_.AltezzaUtile(o); }
    void PrintText(const std::string& t) override { d_.PrintText(t); }
    void PrintLine(const std::string& t) override { d_.PrintLine(t); }
    void NewPage() override { d_.NewPage(); }
    void PiePagina(const std::string& t) override { d_.PiePagina(t); }
    void EndDoc() override { d_.EndDoc(); }

private:
    Stampante& d_;
};

} // namespace vdx::test
