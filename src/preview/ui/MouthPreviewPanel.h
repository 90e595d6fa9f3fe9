#pragma once
// The Mouth Preview panel (View > Mouth Preview): a dockable panel showing
// each character's mouth drawing for the frame being heard, side by side
// (MouthTile), and under them, once, the shapes that have no drawing. Its
// accessible description names each character and shape ("Ann: MBP; Bob:
// rest"), so screen readers and tests can read what is shown.
#include <QDockWidget>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QHBoxLayout;

namespace zv {

class MouthDrawings;
class MouthTile;

class MouthPreviewPanel : public QDockWidget {
    Q_OBJECT
public:
    // One tile's content.
    struct Tile {
        int characterId = 0;
        std::string name;
        uint32_t colour = 0;
        std::string shape;
        const MouthDrawings* drawings = nullptr;   // may be null: names only
    };
    // Told which character's "Drawings..." button was pressed, or whose
    // "Use Zorvane's Own Drawings" (the tile's right-click menu) was chosen.
    using ForCharacter = std::function<void(int characterId)>;

    MouthPreviewPanel(ForCharacter pick, ForCharacter useOwn, QWidget* parent);

    // Shows these tiles (made or removed to match) and the description.
    void Show(const std::vector<Tile>& tiles, const std::string& description);
    // The line of shapes without drawings ("" hides it).
    void ShowMissing(const std::string& text);
    // The "Drawings..." buttons work only while a sound is open.
    void EnablePicking(bool on);

    const std::vector<MouthTile*>& Tiles() const { return tiles_; }
    QLabel& MissingLine() const { return *missing_; }

signals:
    // The user closed the panel with its own close button.
    void ClosedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ForCharacter pick_, useOwn_;
    QHBoxLayout* row_ = nullptr;
    QLabel* missing_ = nullptr;
    std::vector<MouthTile*> tiles_;
    std::vector<int> ids_;   // the character of each tile
    bool picking_ = false;
};

} // namespace zv
