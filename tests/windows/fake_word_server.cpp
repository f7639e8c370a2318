// A COM local server that stands in for Microsoft Word in the tests: it
// serves "word.Application" objects with Visible, Documents and
// Documents.Open, writes every call it gets into a log (one line each, the
// format of tests/app/fake_word.h), and fails as a control file tells it.
//
// Command line (from its LocalServer32 key; COM adds -Embedding):
//   fake_word_server.exe LOG CONTROL
// CONTROL holds one line, read at every call; the counters below restart
// whenever its text changes:
//   ok                       answer every call
//   exception TEXT           the first call whose log line contains TEXT
//                            raises Word's 5174 (scode 0x800A1436, "This file
//                            could not be found.")
//   wcode TEXT               ... raises wCode 4198 "Command failed"
//   scode TEXT               ... raises scode E_ACCESSDENIED, no description
//   bare TEXT                ... raises 5174 without a description
//   long TEXT                ... raises 5174 with a description of 20,000
//                            characters (Thai words, each on a line)
//   unknown NAME             the first look-up of NAME is DISP_E_UNKNOWNNAME
//   not-object               "documents" answers a string, not an object
//   create-fails             the first creation fails with E_FAIL
//   busy N / rejected N      the first N calls (look-ups and invokes) are
//                            rejected with RPC_E_SERVERCALL_RETRYLATER /
//                            RPC_E_CALL_REJECTED
//   always-busy              every call is rejected as busy
// Extra log lines: "#N busy NAME" for a rejected call, "#N unknown NAME" for
// an unknown name, "#N released" when object N's last reference goes.
#include <windows.h>

#include <ole2.h>
#include <oleauto.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

// {75581102-42CF-4CF0-B8F5-9C78CE8E4805}, registered by the test for "word.Application".
const CLSID ClsidFakeWord = {0x75581102, 0x42cf, 0x4cf0, {0xb8, 0xf5, 0x9c, 0x78, 0xce, 0x8e, 0x48, 0x05}};

constexpr DISPID IdVisible = 1;
constexpr DISPID IdDocuments = 2;
constexpr DISPID IdOpen = 3;

std::string narrow(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

BSTR bstr(const wchar_t *text)
{
    return SysAllocString(text);
}

// What the server shares between its objects: the log, the control and the
// counters.
class Server {
public:
    Server(std::wstring log, std::wstring control) : log_(std::move(log)), control_(std::move(control)) {}

    void log(const std::string &line) const
    {
        std::ofstream out(log_.c_str(), std::ios::app | std::ios::binary);
        out << line << '\n';
    }

    // Re-reads the control; its counters restart when the text changed.
    void refresh()
    {
        std::ifstream in(control_.c_str(), std::ios::binary);
        std::string line;
        std::getline(in, line);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (line != text_) {
            text_ = line;
            std::istringstream words(line);
            mode_.clear();
            argument_.clear();
            words >> mode_;
            std::getline(words >> std::ws, argument_);
            fired_ = false;
            rejected_ = 0;
        }
    }

    const std::string &mode() const { return mode_; }

    // Whether this call is rejected as busy, and with which HRESULT.
    HRESULT busy()
    {
        if (mode_ == "always-busy")
            return RPC_E_SERVERCALL_RETRYLATER;
        if (mode_ == "busy" || mode_ == "rejected") {
            if (rejected_ < std::atoi(argument_.c_str())) {
                ++rejected_;
                return mode_ == "busy" ? RPC_E_SERVERCALL_RETRYLATER : RPC_E_CALL_REJECTED;
            }
        }
        return S_OK;
    }

    // Whether the failure of this mode fires for this log line (once).
    bool fires(const char *mode, const std::string &line)
    {
        if (fired_ || mode_ != mode || line.find(argument_) == std::string::npos)
            return false;
        fired_ = true;
        return true;
    }
    bool firesOnName(const std::string &name)
    {
        if (fired_ || mode_ != "unknown" || lower(name) != lower(argument_))
            return false;
        fired_ = true;
        return true;
    }
    bool firesOnCreate()
    {
        if (fired_ || mode_ != "create-fails")
            return false;
        fired_ = true;
        return true;
    }

    int nextId() { return ++created_; }

private:
    std::wstring log_;
    std::wstring control_;
    std::string text_ = "\x01"; // never a control's text: the first refresh reads it
    std::string mode_;
    std::string argument_;
    bool fired_ = false;
    int rejected_ = 0;
    int created_ = 0;
};

std::string describe(const VARIANT &v)
{
    switch (v.vt) {
    case VT_BOOL:
        if (v.boolVal == VARIANT_TRUE)
            return "true";
        if (v.boolVal == VARIANT_FALSE)
            return "false";
        return "bool(" + std::to_string(v.boolVal) + ")";
    case VT_BSTR:
        return "\"" + narrow({v.bstrVal ? v.bstrVal : L"", SysStringLen(v.bstrVal)}) + "\"";
    case VT_I4:
        return std::to_string(v.lVal);
    case VT_DISPATCH:
        return "object";
    case VT_EMPTY:
        return "empty";
    default:
        return "vt" + std::to_string(v.vt);
    }
}

// IDispatch without a type library, for the two kinds of objects.
class Dispatch : public IDispatch {
public:
    Dispatch(Server &server, std::string prefix) : server_(server), prefix_(std::move(prefix)) {}
    virtual ~Dispatch() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *object = static_cast<IDispatch *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0) {
            released();
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        server_.refresh();
        const std::string name = narrow(names[0]);
        if (const HRESULT hr = server_.busy(); FAILED(hr)) {
            server_.log(prefix_ + " busy " + name);
            return hr;
        }
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        const DISPID id = lookup(lower(name));
        if (id == DISPID_UNKNOWN || server_.firesOnName(name)) {
            server_.log(prefix_ + " unknown " + name);
            return DISP_E_UNKNOWNNAME;
        }
        names_[id] = name;
        ids[0] = id;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *exception, UINT *) override
    {
        server_.refresh();
        if (const HRESULT hr = server_.busy(); FAILED(hr)) {
            server_.log(prefix_ + " busy " + names_[id]);
            return hr;
        }
        std::string line = prefix_ + " " + how(flags) + names_[id];
        for (UINT i = params->cArgs; i > 0; --i)
            line += " " + describe(params->rgvarg[i - 1]);
        line += suffix(flags);
        server_.log(line);
        // A dialog inside Word that nobody answers: the call never returns.
        if (server_.fires("hang", line))
            for (;;)
                Sleep(INFINITE);
        // One that the user answers after a while.
        if (server_.fires("slow", line))
            Sleep(3000);
        if (server_.fires("exception", line))
            return raise(exception, 0, static_cast<SCODE>(0x800A1436), L"This file could not be found.");
        if (server_.fires("wcode", line))
            return raise(exception, 4198, 0, L"Command failed");
        if (server_.fires("scode", line))
            return raise(exception, 0, E_ACCESSDENIED, nullptr);
        // Word's number without its description.
        if (server_.fires("bare", line))
            return raise(exception, 0, static_cast<SCODE>(0x800A1436), nullptr);
        // A description of 20,000 characters, Thai words and line breaks.
        if (server_.fires("long", line)) {
            std::wstring longText;
            while (longText.size() < 20'000)
                longText += L"\u0E44\u0E21\u0E48\u0E1E\u0E1A\u0E44\u0E1F\u0E25\u0E4C\r\n";
            longText.resize(20'000);
            return raise(exception, 0, static_cast<SCODE>(0x800A1436), longText.c_str());
        }
        return answer(id, flags, *params, result);
    }

protected:
    virtual std::string how(WORD flags) const = 0;
    virtual std::string suffix(WORD) const { return {}; }
    virtual DISPID lookup(const std::string &lowerName) const = 0;
    virtual HRESULT answer(DISPID id, WORD flags, const DISPPARAMS &params, VARIANT *result) = 0;
    virtual void released() {}

    Server &server_;
    std::string prefix_;

private:
    static HRESULT raise(EXCEPINFO *exception, WORD wCode, SCODE scode, const wchar_t *description)
    {
        if (exception) {
            *exception = EXCEPINFO{};
            exception->wCode = wCode;
            exception->scode = scode;
            exception->bstrSource = bstr(L"Microsoft Word");
            exception->bstrDescription = description ? bstr(description) : nullptr;
        }
        return DISP_E_EXCEPTION;
    }

    std::map<DISPID, std::string> names_;
    ULONG references_ = 1;
};

class Documents final : public Dispatch {
public:
    Documents(Server &server, int id) : Dispatch(server, "#" + std::to_string(id) + ".documents") {}

protected:
    std::string how(WORD) const override { return {}; }
    std::string suffix(WORD flags) const override { return flags == DISPATCH_METHOD ? " (method)" : " (other)"; }
    DISPID lookup(const std::string &name) const override { return name == "open" ? IdOpen : DISPID_UNKNOWN; }
    HRESULT answer(DISPID id, WORD flags, const DISPPARAMS &params, VARIANT *result) override
    {
        if (id != IdOpen || !(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        if (params.cArgs < 1 || params.cArgs > 16 || params.cNamedArgs != 0)
            return DISP_E_BADPARAMCOUNT;
        if (params.rgvarg[params.cArgs - 1].vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        if (result)
            VariantInit(result);
        return S_OK;
    }
};

class Application final : public Dispatch {
public:
    Application(Server &server, int id) : Dispatch(server, "#" + std::to_string(id)), id_(id)
    {
        server.log("create #" + std::to_string(id));
    }

protected:
    std::string how(WORD flags) const override
    {
        if (flags == DISPATCH_PROPERTYPUT)
            return "put ";
        if (flags == DISPATCH_PROPERTYGET)
            return "get ";
        if (flags == (DISPATCH_PROPERTYGET | DISPATCH_METHOD))
            return "get-or-call ";
        if (flags == DISPATCH_METHOD)
            return "call ";
        return "flags" + std::to_string(flags) + " ";
    }
    DISPID lookup(const std::string &name) const override
    {
        if (name == "visible")
            return IdVisible;
        if (name == "documents")
            return IdDocuments;
        return DISPID_UNKNOWN;
    }
    HRESULT answer(DISPID id, WORD flags, const DISPPARAMS &params, VARIANT *result) override
    {
        if (id == IdVisible && flags == DISPATCH_PROPERTYPUT) {
            // Word wants the value as the one argument named DISPID_PROPERTYPUT.
            if (params.cArgs != 1 || params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTFOUND;
            if (params.rgvarg[0].vt != VT_BOOL)
                return DISP_E_TYPEMISMATCH;
            visible_ = params.rgvarg[0].boolVal != VARIANT_FALSE;
            return S_OK;
        }
        if (id == IdVisible && (flags & DISPATCH_PROPERTYGET) && result) {
            VariantInit(result);
            result->vt = VT_BOOL;
            result->boolVal = visible_ ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        if (id == IdDocuments && (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) {
            if (params.cArgs != 0)
                return DISP_E_BADPARAMCOUNT;
            if (!result)
                return E_INVALIDARG;
            VariantInit(result);
            if (server_.mode() == "not-object") {
                result->vt = VT_BSTR;
                result->bstrVal = bstr(L"Documents");
                return S_OK;
            }
            if (!documents_)
                documents_ = new Documents(server_, id_);
            documents_->AddRef();
            result->vt = VT_DISPATCH;
            result->pdispVal = documents_;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    void released() override
    {
        server_.log("#" + std::to_string(id_) + " released");
        if (documents_)
            documents_->Release();
    }

private:
    int id_;
    bool visible_ = false;
    Documents *documents_ = nullptr;
};

class Factory final : public IClassFactory {
public:
    explicit Factory(Server &server) : server_(server) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory *>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the process.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID riid, void **object) override
    {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        server_.refresh();
        if (server_.firesOnCreate()) {
            server_.log("create failed");
            return E_FAIL;
        }
        auto *application = new Application(server_, server_.nextId());
        const HRESULT hr = application->QueryInterface(riid, object);
        application->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    Server &server_;
};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3)
        return 2;
    Server server(argv[1], argv[2]);
    LocalFree(argv);
    // A program registered as Word that isn't a COM server: started, it
    // never registers its class.
    server.refresh();
    if (server.mode() == "silent") {
        server.log("started silent");
        for (;;)
            Sleep(INFINITE);
    }

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 3;
    Factory factory(server);
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(ClsidFakeWord, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie)))
        return 4;
    // Serves until the test ends the prefix's processes.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}
