#include "win32/os/ScriptedDataObject.h"

#include <ole2.h>
#include <shlobj.h>
#include <vector>

namespace os::win32::test {

HRESULT ScriptedDataObject::QueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ScriptedDataObject::AddRef() {
    return ++references_;
}

ULONG ScriptedDataObject::Release() {
    return --references_;
}

HRESULT ScriptedDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    ++requests_;
    const auto found = answers_.find(format->cfFormat);
    if (found == answers_.end()) {
        return DV_E_FORMATETC;
    }
    const Answer& answer = found->second.answer;
    if (FAILED(answer.result)) {
        return answer.result;
    }
    if (answer.makeMedium != nullptr) {
        *medium = answer.makeMedium();
    } else {
        *medium = STGMEDIUM{};
        medium->tymed = TYMED_NULL;
    }
    return answer.result;
}

HRESULT ScriptedDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT ScriptedDataObject::QueryGetData(FORMATETC* format) {
    return answers_.count(format->cfFormat) != 0 ? S_OK : DV_E_FORMATETC;
}

HRESULT ScriptedDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT ScriptedDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT ScriptedDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    std::vector<FORMATETC> listed;
    for (const auto& [format, entry] : answers_) {
        listed.push_back(FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, entry.tymed});
    }
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(listed.size()), listed.data(), formats);
}

HRESULT ScriptedDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ScriptedDataObject::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT ScriptedDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

}  // namespace os::win32::test
