// The pictures through WIC: the bytes compiled into the program become
// premultiplied 32-bit DIB sections, which AlphaBlend draws as they are.
#include "Decodifica.h"

#include <wincodec.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Fatale.h"

namespace noce::win32 {

namespace {

// Releases a COM interface when it goes out of scope.
template <class T>
class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p_) p_->Release();
    }
    T** Indirizzo() { return &p_; }
    T* operator->() const { return p_; }
    T* Puntatore() const { return p_; }

private:
    T* p_ = nullptr;
};

[[noreturn]] void Guasta(const Immagine& im, const char* passo, HRESULT hr) {
    char codice[16];
    std::snprintf(codice, sizeof codice, "0x%08lx", static_cast<unsigned long>(hr));
    Fatale(std::string("The picture ") + im.nome + " is damaged: " + passo + " failed (" + codice + ").");
}

void Verifica(HRESULT hr, const Immagine& im, const char* passo) {
    if (FAILED(hr)) Guasta(im, passo, hr);
}

IWICImagingFactory& Fabbrica(const Immagine& im) {
    static IWICImagingFactory* fabbrica = nullptr;
    if (!fabbrica)
        Verifica(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&fabbrica)),
                 im, "creating the imaging factory");
    return *fabbrica;
}

Bitmap Converti(const Immagine& im) {
    IWICImagingFactory& f = Fabbrica(im);
    Com<IWICStream> flusso;
    Com<IWICBitmapDecoder> decodificatore;
    Com<IWICBitmapFrameDecode> quadro;
    Com<IWICBitmap> grezza;
    IWICBitmapSource* sorgente = nullptr;
    if (im.formato == Immagine::Formato::PNG || im.formato == Immagine::Formato::JPEG) {
        Verifica(f.CreateStream(flusso.Indirizzo()), im, "CreateStream");
        Verifica(flusso->InitializeFromMemory(const_cast<BYTE*>(im.dati), static_cast<DWORD>(im.dimensione)), im,
                 "InitializeFromMemory");
        Verifica(f.CreateDecoderFromStream(flusso.Puntatore(), nullptr, WICDecodeMetadataCacheOnDemand,
                                           decodificatore.Indirizzo()),
                 im, "CreateDecoderFromStream");
        Verifica(decodificatore->GetFrame(0, quadro.Indirizzo()), im, "GetFrame");
        sorgente = quadro.Puntatore();
    } else {
        const bool alfa = im.formato == Immagine::Formato::RGBA;
        const UINT passo = static_cast<UINT>(im.larghezza * (alfa ? 4 : 3));
        Verifica(f.CreateBitmapFromMemory(static_cast<UINT>(im.larghezza), static_cast<UINT>(im.altezza),
                                          alfa ? GUID_WICPixelFormat32bppRGBA : GUID_WICPixelFormat24bppRGB, passo,
                                          passo * static_cast<UINT>(im.altezza), const_cast<BYTE*>(im.dati),
                                          grezza.Indirizzo()),
                 im, "CreateBitmapFromMemory");
        sorgente = grezza.Puntatore();
    }
    Com<IWICFormatConverter> convertitore;
    Verifica(f.CreateFormatConverter(convertitore.Indirizzo()), im, "CreateFormatConverter");
    Verifica(convertitore->Initialize(sorgente, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom),
             im, "converting to 32-bit BGRA");
    UINT w = 0, h = 0;
    Verifica(convertitore->GetSize(&w, &h), im, "GetSize");
    if (static_cast<int>(w) != im.larghezza || static_cast<int>(h) != im.altezza)
        Guasta(im, "checking its size against the design", E_FAIL);

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = static_cast<LONG>(w);
    bi.bmiHeader.biHeight = -static_cast<LONG>(h);  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bit = nullptr;
    Bitmap b;
    b.handle = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bit, nullptr, 0);
    if (!b.handle) Guasta(im, "CreateDIBSection", HRESULT_FROM_WIN32(GetLastError()));
    Verifica(convertitore->CopyPixels(nullptr, w * 4, w * 4 * h, static_cast<BYTE*>(bit)), im, "CopyPixels");
    b.larghezza = static_cast<int>(w);
    b.altezza = static_cast<int>(h);
    b.pixel = static_cast<const unsigned char*>(bit);
    for (std::size_t i = 3; i < std::size_t{w} * h * 4; i += 4)
        if (b.pixel[i] != 255) b.opaca = false;
    return b;
}

}  // namespace

const Bitmap& Decodifica(const Immagine& im) {
    static std::map<const Immagine*, Bitmap> fatte;
    auto it = fatte.find(&im);
    if (it == fatte.end()) it = fatte.emplace(&im, Converti(im)).first;
    return it->second;
}

void DisegnaBitmap(HDC dc, const Bitmap& b, int x, int y) {
    HDC sorgente = CreateCompatibleDC(dc);
    HGDIOBJ prima = SelectObject(sorgente, b.handle);
    // The strip is opaque and drawn 40 times a second: a plain copy for it.
    if (b.opaca) {
        BitBlt(dc, x, y, b.larghezza, b.altezza, sorgente, 0, 0, SRCCOPY);
    } else {
        const BLENDFUNCTION miscela{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, x, y, b.larghezza, b.altezza, sorgente, 0, 0, b.larghezza, b.altezza, miscela);
    }
    SelectObject(sorgente, prima);
    DeleteDC(sorgente);
}

HICON IconaDa(const Immagine& im) {
    static std::map<const Immagine*, HICON> fatte;
    HICON& icona = fatte[&im];
    if (icona) return icona;
    const Bitmap& b = Decodifica(im);
    // The mask is set where the picture is transparent; its rows are
    // whole 16-bit words.
    const int riga = (b.larghezza + 15) / 16 * 2;
    std::vector<BYTE> maschera(static_cast<std::size_t>(riga * b.altezza), 0);
    for (int y = 0; y < b.altezza; ++y)
        for (int x = 0; x < b.larghezza; ++x)
            if (b.pixel[(y * b.larghezza + x) * 4 + 3] == 0)
                maschera[static_cast<std::size_t>(y * riga + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    HBITMAP bitMaschera = CreateBitmap(b.larghezza, b.altezza, 1, 1, maschera.data());
    ICONINFO info{TRUE, 0, 0, bitMaschera, b.handle};
    icona = CreateIconIndirect(&info);
    DeleteObject(bitMaschera);
    if (!icona) Guasta(im, "CreateIconIndirect", HRESULT_FROM_WIN32(GetLastError()));
    return icona;
}

}  // namespace noce::win32
