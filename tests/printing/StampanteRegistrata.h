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

    std::vector<std::string> nomiDispositivi() override { return dispositivi_; }
    void selezionaDispositivo(const std::string& nome) override {
        chiamate.push_back("device " + nome);
        dispositivo_ = nome;
    }
    void impostaFilePdf(const std::filesystem::path& file) override {
        chiamate.push_back("pdf " + file.string());
        dispositivo_ = file.string();
    }
    std::string dispositivoCorrente() const override { return dispositivo_; }
    void setDuplex(int modo) override { chiamate.push_back("duplex " + std::to_string(modo)); }
    void setOrientation(int o) override { chiamate.push_back("orient " + std::to_string(o)); }
    void setFontName(const std::string& nome) override { chiamate.push_back("font " + nome); }
    void setFontSize(double punti) override {
        size_ = passo_ > 0 ? std::round(punti / passo_) * passo_ : punti;
        char buf[32];
        std::snprintf(buf, sizeof buf, "size %g", punti);
        chiamate.emplace_back(buf);
    }
    double fontSize() const override { return size_; }
    void setBold(bool b) override { chiamate.push_back(b ? "bold on" : "bold off"); }
    // A fixed-width face: every byte 0.6 of the size wide; the page's width
    // as set (wide enough for anything unless a test narrows it).
    double larghezzaTesto(const std::string& t, const std::string&, double punti) override {
        return static_cast<double>(t.size()) * 0.6 * punti;
    }
    double larghezzaUtile(int orientamento) override {
        return orientamento == 2 ? larghezzaOrizzontale : larghezzaVerticale;
    }
    double larghezzaVerticale = 1e9;
    double larghezzaOrizzontale = 1e9;
    void printText(const std::string& t) override { chiamate.push_back("text '" + t + "'"); }
    void printLine(const std::string& t) override { chiamate.push_back("line '" + t + "'"); }
    void newPage() override { chiamate.emplace_back("page"); }
    void endDoc() override { chiamate.emplace_back("end"); }

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
    std::vector<std::string> nomiDispositivi() override { return d_.nomiDispositivi(); }
    void selezionaDispositivo(const std::string& n) override { d_.selezionaDispositivo(n); }
    void impostaFilePdf(const std::filesystem::path& f) override { d_.impostaFilePdf(f); }
    std::string dispositivoCorrente() const override { return d_.dispositivoCorrente(); }
    void setDuplex(int m) override { d_.setDuplex(m); }
    void setOrientation(int o) override { d_.setOrientation(o); }
    void setFontName(const std::string& n) override { d_.setFontName(n); }
    void setFontSize(double p) override { d_.setFontSize(p); }
    double fontSize() const override { return d_.fontSize(); }
    void setBold(bool b) override { d_.setBold(b); }
    double larghezzaTesto(const std::string& t, const std::string& f, double p) override {
        return d_.larghezzaTesto(t, f, p);
    }
    double larghezzaUtile(int o) override { return d_.larghezzaUtile(o); }
    void printText(const std::string& t) override { d_.printText(t); }
    void printLine(const std::string& t) override { d_.printLine(t); }
    void newPage() override { d_.newPage(); }
    void endDoc() override { d_.endDoc(); }

private:
    Stampante& d_;
};

} // namespace vdx::test
