#pragma once

#include <windows.h>
// After windows.h, which it relies on.
#include <atomic>
#include <map>
#include <objidl.h>

namespace os::win32::test {

// COM interfaces have no virtual destructor by design: objects are released, never deleted
// through them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// A clipboard owner that answers GetData as a test tells it, the way a careless or hostile
// application may: a medium of another kind than asked for, an empty handle, an error.
class ScriptedDataObject final : public IDataObject {
public:
    struct Answer {
        HRESULT result = S_OK;
        // Made anew for every request, since the receiver releases the medium; nullptr for a
        // medium of kind TYMED_NULL.
        STGMEDIUM (*makeMedium)() = nullptr;
    };

    void answer(CLIPFORMAT format, Answer answer, DWORD listedTymed = TYMED_HGLOBAL) {
        answers_[format] = {answer, listedTymed};
    }
    int requests() const { return requests_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                      DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

private:
    // The test owns the object on its stack; the count only has to stay consistent.
    std::atomic<ULONG> references_{1};
    std::atomic<int> requests_{0};
    struct Listed {
        Answer answer;
        DWORD tymed;
    };
    std::map<CLIPFORMAT, Listed> answers_;
};

#pragma GCC diagnostic pop

}  // namespace os::win32::test
