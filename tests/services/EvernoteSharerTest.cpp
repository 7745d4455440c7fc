#include "EvernoteTestServer.h"
#include "platform/crypto/Digest.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Thread.h"
#include "platform/graphics/ImageContext.h"
#include "platform/network/Reachability.h"
#include "platform/security/Keychain.h"
#include "platform/ui/EffectCapture.h"
#include "services/ServiceEndpoints.h"
#include "services/evernote/EvernoteNoteMarkup.h"
#include "services/evernote/SHKEvernote.h"
#include "services/evernote/SHKEvernoteItem.h"
#include "sharing/core/MySHKConfigurator.h"
#include "sharing/core/SHK.h"
#include "sharing/core/SHKConfiguration.h"
#include "sharing/core/SHKSharerDelegate.h"
#include "sharing/ui/SHKCustomFormController.h"
#include "support/LoopbackServer.h"
#include "support/TemporaryDirectory.h"
#include "support/TemporaryHome.h"
#include "support/VirtualTime.h"
#include "support/ui/SimulatedDevice.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace brenzo::testing;

constexpr double patience = 20;

class TestConfigurator final : public MySHKConfigurator {
public:
    using MySHKConfigurator::MySHKConfigurator;
    std::string evernoteConsumerKey() const override { return "brenzo-key"; }
    std::string evernoteSecret() const override { return "brenzo-secret"; }
};

// What a sharer reported, in order.
class RecordingDelegate final : public SHKSharerDelegate {
public:
    void sharerStartedSending(SHKSharer&) override { events.push_back("started"); }
    void sharerFinishedSending(SHKSharer&) override { events.push_back("finished"); }
    void sharerFailedWithErrorShouldRelogin(SHKSharer&, const fnd::Ref<fnd::Error>& failure, bool shouldRelogin) override
    {
        events.push_back(shouldRelogin ? "failed, login again" : "failed");
        error = failure ? failure->localizedDescription() : std::string();
    }
    void sharerCancelledSending(SHKSharer&) override { events.push_back("cancelled"); }
    void sharerAuthDidFinishSuccess(SHKSharer&, bool success) override { events.push_back(success ? "logged in" : "not logged in"); }

    bool ended() const
    {
        return !events.empty() && (events.back() == "finished" || events.back().starts_with("failed"));
    }

    std::vector<std::string> events;
    std::string error;
};

fnd::Ref<gfx::Image> solidImage(double width, double height)
{
    auto context = gfx::ImageContext::create({ width, height }, true, 1);
    context->setFillColor({ 0.2, 0.4, 0.6 });
    context->fillRect({ 0, 0, width, height });
    return context->image();
}

class EvernoteSharerTest : public ::testing::Test {
protected:
    EvernoteSharerTest()
    {
        configure(m_service.noteStoreURLBase());
    }

    ~EvernoteSharerTest() override
    {
        fnd::Thread::waitForDetachedThreads(patience);
        net::Reachability::clearOverride();
        SHK::resetForTesting();
        SHKConfiguration::resetForTesting();
        sec::Keychain::setShared(nullptr);
    }

    void configure(const std::string& noteStoreURLBase)
    {
        resetSimulatedDevice();
        sec::Keychain::setShared(sec::Keychain::createInMemory());
        SHKConfiguration::resetForTesting();
        SHKConfiguration::sharedInstanceWithConfigurator(
            std::make_shared<TestConfigurator>(MySHKConfigurator::EvernoteStores { m_service.userStoreURL(), noteStoreURLBase }));
        SHK::resetForTesting();
        net::Reachability::setOverride(net::ReachabilityFlag::Reachable | net::ReachabilityFlag::IsDirect);
    }

    std::shared_ptr<SHKEvernote> makeSharer(fnd::Ref<SHKItem> item)
    {
        auto sharer = SHKSharer::create<SHKEvernote>();
        sharer->setShareDelegate(m_delegate);
        sharer->setItem(std::move(item));
        return sharer;
    }

    void storeLogin(const std::string& username, const std::string& password)
    {
        SHK::setAuthValueForKeyForSharer(username, "username", "SHKEvernote");
        SHK::setAuthValueForKeyForSharer(password, "password", "SHKEvernote");
    }

    // Sends with a stored login and waits for the outcome; answers the note the service kept, if any.
    std::optional<EDAMNote> send(fnd::Ref<SHKItem> item)
    {
        storeLogin("ada", "lovelace");
        auto sharer = makeSharer(std::move(item));
        EXPECT_TRUE(sharer->send());
        sharer = nullptr;
        EXPECT_TRUE(waitForOutcome());
        return lastNote();
    }

    bool waitForOutcome()
    {
        return fnd::RunLoop::main().runUntil([&] { return m_delegate->ended(); }, patience);
    }

    std::optional<EDAMNote> lastNote()
    {
        return m_service.with([](auto& state) { return state.createdNotes.empty() ? std::nullopt : std::optional(state.createdNotes.back()); });
    }

    TemporaryHome m_home;
    VirtualTime m_time;
    EvernoteTestServer m_service;
    std::shared_ptr<RecordingDelegate> m_delegate = std::make_shared<RecordingDelegate>();
};

TEST_F(EvernoteSharerTest, ALinkBecomesAWellFormedNoteInTheDefaultNotebook)
{
    m_service.with([](auto& state) {
        state.notebooks = { EvernoteTestServer::notebook("nb-1", "Inbox", false), EvernoteTestServer::notebook("nb-2", "Main", true),
            EvernoteTestServer::notebook("nb-3", "Other", true) };
    });
    auto item = SHKItem::createWithURL(fnd::URL::create("http://example.com/a?b=1&c=2"), "Tips <& tricks>");
    item->setTags("news  tech");
    double before = std::floor(fnd::Date::now()->timeIntervalSince1970());

    auto note = send(item);

    ASSERT_TRUE(note) << m_delegate->error;
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "finished" }));
    EXPECT_EQ(note->title, "Tips <& tricks>");
    // Everything inserted is escaped, so an address with a query and a title with markup characters
    // make a note the service takes.
    EXPECT_EQ(note->content,
        enmlHeader + "<h1><a href=\"http://example.com/a?b=1&amp;c=2\">Tips &lt;&amp; tricks&gt;</a></h1>"
                 "<p><a href=\"http://example.com/a?b=1&amp;c=2\">http://example.com/a?b=1&amp;c=2</a></p></en-note>");
    EXPECT_EQ(note->attributes.sourceURL, "http://example.com/a?b=1&c=2");
    EXPECT_EQ(note->notebookGuid, "nb-2");
    EXPECT_EQ(note->tagNames, (std::vector<std::string> { "news", "", "tech" }));
    EXPECT_TRUE(note->__isset.resources);
    EXPECT_TRUE(note->resources.empty());
    EXPECT_EQ(note->created % 1000, 0);
    EXPECT_GE(note->created, int64_t(before) * 1000);
    EXPECT_LE(note->created, int64_t(before + 5) * 1000);
    EXPECT_EQ(m_service.with([](auto& state) { return state.calls; }),
        (std::vector<std::string> { "checkVersion ShrareKit EDMA 1.16", "authenticate ada brenzo-key brenzo-secret", "listNotebooks S=s7:U=1:token",
            "createNote S=s7:U=1:token" }));
}

TEST_F(EvernoteSharerTest, AnUntitledTextWithoutADefaultNotebook)
{
    auto note = send(SHKItem::createWithText("Line one <b>bold</b>\nR&D"));

    ASSERT_TRUE(note) << m_delegate->error;
    EXPECT_EQ(note->title, "Untitled");
    EXPECT_EQ(note->content, enmlHeader + "<p>Line one  bold \nR&amp;D</p></en-note>");
    EXPECT_FALSE(note->__isset.notebookGuid);
    EXPECT_FALSE(note->__isset.tagNames);
}

TEST_F(EvernoteSharerTest, APictureAndAFileBecomeResourcesShownByTheirDigest)
{
    auto item = SHKItem::createWithImage(solidImage(640, 480), "Photo");
    item->setData(fnd::Data::create(std::string("%PDF-1.4 file")));
    item->setMimeType("application/pdf");

    auto note = send(item);

    ASSERT_TRUE(note) << m_delegate->error;
    ASSERT_EQ(note->resources.size(), 2u);
    auto& picture = note->resources[0];
    EXPECT_EQ(picture.mime, "image/jpeg");
    EXPECT_EQ(picture.data.body.substr(0, 2), "\xff\xd8");
    EXPECT_EQ(picture.data.size, int32_t(picture.data.body.size()));
    auto digest = crypto::md5(picture.data.body);
    EXPECT_EQ(picture.data.bodyHash, std::string(digest.begin(), digest.end()));
    EXPECT_EQ(picture.recognition, picture.data);
    auto& file = note->resources[1];
    EXPECT_EQ(file.mime, "application/pdf");
    EXPECT_EQ(file.data.body, "%PDF-1.4 file");
    EXPECT_EQ(note->content,
        enmlHeader + "<h1>Photo</h1><p><en-media type=\"image/jpeg\" height=\"480\" width=\"640\" hash=\"" + crypto::md5Hex(picture.data.body)
            + "\"/></p><p><en-media type=\"application/pdf\" hash=\"" + crypto::md5Hex(std::string_view("%PDF-1.4 file")) + "\"/></p></en-note>");
}

TEST_F(EvernoteSharerTest, APreparedNoteIsCompletedInPlaceAndOnlyWebPicturesAreDownloaded)
{
    auto jpeg = solidImage(32, 16)->jpegRepresentation(0.9);
    LoopbackServer pictures;
    pictures.http().Get("/pic.jpg", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string(jpeg->asStringView()), "image/jpeg");
    });
    pictures.start();
    TemporaryDirectory folder;
    auto localPicture = folder.path() / "private.jpg";
    std::ofstream(localPicture, std::ios::binary) << jpeg->asStringView();
    auto webAddress = pictures.url("/pic.jpg");
    auto fileAddress = "file://" + localPicture.string();

    EDAMNote prepared;
    prepared.__set_title("Kept title");
    prepared.__set_content("<en-note><img src=\"" + webAddress + "\" /><img src=\"" + fileAddress + "\" /></en-note>");
    prepared.__set_tagNames({ "kept" });
    prepared.__set_notebookGuid("nb-9");
    EDAMNoteAttributes attributes;
    attributes.__set_sourceURL("http://kept.example.com/");
    prepared.__set_attributes(attributes);
    for (auto& address : { webAddress, fileAddress }) {
        EDAMResource linked;
        linked.__set_mime("image/jpeg");
        EDAMResourceAttributes resourceAttributes;
        resourceAttributes.__set_sourceURL(address);
        linked.__set_attributes(resourceAttributes);
        prepared.resources.push_back(linked);
    }
    prepared.__isset.resources = true;
    auto item = SHKEvernoteItem::create();
    item->setShareType(SHKShareTypeURL);
    item->setURL(fnd::URL::create("http://example.com/new"));
    item->setTags("ignored");
    item->setNote(std::make_shared<EDAMNote>(prepared));

    auto note = send(item);

    ASSERT_TRUE(note) << m_delegate->error;
    EXPECT_EQ(note->title, "Kept title");
    EXPECT_EQ(note->tagNames, std::vector<std::string> { "kept" });
    EXPECT_EQ(note->notebookGuid, "nb-9");
    EXPECT_EQ(note->attributes.sourceURL, "http://kept.example.com/");
    ASSERT_EQ(note->resources.size(), 2u);
    EXPECT_EQ(note->resources[0].data.body, std::string(jpeg->asStringView()));
    EXPECT_FALSE(note->resources[1].__isset.data);
    auto media = "<en-media type=\"image/jpeg\" height=\"16\" width=\"32\" hash=\"" + crypto::md5Hex(jpeg->asStringView()) + "\"/>";
    EXPECT_EQ(note->content, "<en-note>" + media + "<img src=\"" + fileAddress + "\" /></en-note>");
    EXPECT_EQ(m_service.with([](auto& state) { return state.calls.size(); }), 3u) << "no notebook list for a note that names one";
}

TEST_F(EvernoteSharerTest, ServiceErrorsAreReportedWithTheirTextsAndExpiredLoginsReplayTheSend)
{
    m_service.with([](auto& state) { state.nextCreateNoteError = 2; });
    EXPECT_FALSE(send(SHKItem::createWithText("first")));
    EXPECT_EQ(m_delegate->events.back(), "failed");
    EXPECT_EQ(m_delegate->error, "Evernote Error on Note.title: Invalid format");

    m_delegate->events.clear();
    m_service.with([](auto& state) { state.nextCreateNoteError = 9; });
    storeLogin("ada", "lovelace");
    auto sharer = makeSharer(SHKItem::createWithText("second"));
    ASSERT_TRUE(sharer->send());
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(m_delegate->events.back(), "failed, login again");
    EXPECT_EQ(sharer->pendingAction(), SHKSharer::PendingActionSend);

    // What the login form does once the new login is stored: the send runs again.
    m_delegate->events.clear();
    sharer->tryPendingAction();
    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(m_delegate->events, (std::vector<std::string> { "started", "finished" }));
    EXPECT_EQ(lastNote()->content, enmlHeader + "<p>second</p></en-note>");
}

TEST_F(EvernoteSharerTest, SystemErrorsTransportFailuresAndAWrongLoginFail)
{
    m_service.with([](auto& state) { state.nextCreateNoteFailsInternally = true; });
    EXPECT_FALSE(send(SHKItem::createWithText("down")));
    EXPECT_EQ(m_delegate->events.back(), "failed");
    EXPECT_EQ(m_delegate->error, "There was a problem sharing with Evernote");

    m_delegate->events.clear();
    LoopbackServer broken;
    broken.http().Post("/edam/note/s7", [](const httplib::Request&, httplib::Response& response) { response.status = 500; });
    broken.start();
    configure(broken.url("/edam/note/"));
    EXPECT_FALSE(send(SHKItem::createWithText("lost")));
    EXPECT_EQ(m_delegate->events.back(), "failed");
    EXPECT_EQ(m_delegate->error, "There was a problem sharing with Evernote");
    EXPECT_EQ(broken.requestCount(), 1u);

    m_delegate->events.clear();
    m_service.with([](auto& state) { state.password = "changed"; });
    EXPECT_FALSE(send(SHKItem::createWithText("refused")));
    EXPECT_EQ(m_delegate->error, "Evernote Error on password: Invalid format");
}

TEST_F(EvernoteSharerTest, TheUploadWorksOnACopyOfTheItemAndHoldsTheSharerUntilTheMainThreadHasTheResult)
{
    storeLogin("ada", "lovelace");
    auto item = SHKItem::createWithText("original");
    auto sharer = makeSharer(item);
    std::weak_ptr<SHKEvernote> weakSharer = sharer;
    ASSERT_TRUE(sharer->send());
    // Nobody else holds the sharer, and the item changes on the main thread while the upload runs.
    sharer = nullptr;
    item->setText("changed");
    EXPECT_FALSE(weakSharer.expired());

    ASSERT_TRUE(waitForOutcome());
    EXPECT_EQ(m_delegate->events.back(), "finished");
    EXPECT_EQ(lastNote()->content, enmlHeader + "<p>original</p></en-note>");
    fnd::Thread::waitForDetachedThreads(patience);
    EXPECT_TRUE(weakSharer.expired());
}

TEST_F(EvernoteSharerTest, AnUploadEndingAfterTheMainLoopShutDownDoesNotWaitForIt)
{
    storeLogin("ada", "lovelace");
    auto sharer = makeSharer(SHKItem::createWithText("late"));
    ASSERT_TRUE(sharer->send());
    fnd::RunLoop::main().shutDown();
    ASSERT_TRUE(m_service.waitUntil([](auto& state) { return !state.createdNotes.empty(); }));

    EXPECT_TRUE(fnd::Thread::waitForDetachedThreads(patience));
    EXPECT_EQ(m_delegate->events, std::vector<std::string> { "started" });
    fnd::RunLoop::main().resetForTesting();
}

class EvernoteLoginTest : public EvernoteSharerTest {
protected:
    // Fills the login form as the user would and submits it.
    void logIn(const std::shared_ptr<SHKEvernote>& sharer, const std::string& username, const std::string& password)
    {
        auto fields = SHKEvernote::authorizationFormFields();
        fields[0]->setStart(username);
        fields[1]->setStart(password);
        m_form = SHKCustomFormController::create(ui::TableViewStyle::Grouped, "Login", "Login");
        m_form->addSection(fields, std::nullopt, std::nullopt);
        m_form->setDelegate(std::static_pointer_cast<SHKSharer>(sharer), &SHKSharer::authorizationFormValidate, &SHKSharer::authorizationFormSave, &SHKSharer::authorizationFormCancel);
        m_form->view()->layoutIfNeeded();
        ASSERT_EQ(m_form->formValues().at("username"), username);
        m_form->validateForm();
    }

    bool waitForEffect(const std::string& fragment)
    {
        return fnd::RunLoop::main().runUntil([&] { return m_effects.contains(fragment); }, patience);
    }

    ui::EffectCapture m_effects;
    std::shared_ptr<SHKCustomFormController> m_form;
};

TEST_F(EvernoteLoginTest, AGoodLoginIsStoredAndABadOneOrARefusedVersionIsNot)
{
    auto sharer = makeSharer(SHKItem::createWithText("hello"));
    logIn(sharer, "ada", "wrong");
    ASSERT_TRUE(waitForEffect("Your username and password did not match"));
    EXPECT_FALSE(SHK::getAuthValueForKeyForSharer("username", "SHKEvernote"));
    EXPECT_TRUE(m_delegate->events.empty());

    m_service.with([](auto& state) { state.versionAccepted = false; });
    m_effects.clear();
    logIn(sharer, "ada", "lovelace");
    ASSERT_TRUE(waitForEffect("Your username and password did not match"));
    auto lines = m_effects.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[lines.size() - 2].find("EDMA Version is too old."), std::string::npos) << lines[lines.size() - 2];

    m_service.with([](auto& state) { state.versionAccepted = true; });
    logIn(sharer, "ada", "lovelace");
    ASSERT_TRUE(fnd::RunLoop::main().runUntil([&] { return !m_delegate->events.empty(); }, patience));
    EXPECT_EQ(m_delegate->events, std::vector<std::string> { "logged in" });
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("username", "SHKEvernote"), "ada");
    EXPECT_EQ(SHK::getAuthValueForKeyForSharer("password", "SHKEvernote"), "lovelace");
}

}
