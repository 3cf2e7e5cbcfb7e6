-- stage.lua: what every scenario file of the demo shares, loaded once by
-- main.tsl with require("stage"). It is plain Lua (no scenario marks), so
-- the '#' length operator works here, unlike in script blocks.
--
-- The scenario files call these functions for the work they repeat (opening
-- a message window, changing the background, the marker); the one-off
-- things (a sound, a turn of the character) are written out in the scenario
-- files themselves, where you can see them next to the text.

Stage = {}

-- The layer table is built once, in this order; later code only changes
-- what a slot holds (LayerSet, DeleteLayer), so the numbers stay valid.
Stage.BACKGROUND = 0   -- the background picture
Stage.INCOMING = 1     -- the next background while it fades in over the old one
Stage.CHARACTER = 2    -- Tessa, the guide
Stage.TITLE = 3        -- the title, a string image (first screen only)
Stage.SUBTITLE = 4     -- the line under it
Stage.BOX = 5          -- the panel behind the text
Stage.WINDOW = 6       -- the message window (a scenario layer)
Stage.MARKER = 7       -- the key-wait marker, over the text

-- Where the message window sits; the panel frames it.
Stage.BOX_X, Stage.BOX_Y = 20, 416
Stage.TEXT_X, Stage.TEXT_Y = 46, 428
Stage.TEXT_W, Stage.TEXT_H = 708, 164

-- Puts `layer` in a new slot at the end of the table and checks the slot
-- number, so that a change in the order above cannot go unnoticed.
local function AddSlot(layer, slot)
  LayerAddFront(layer)
  Stage.slots = (Stage.slots or 0) + 1
  if Stage.slots - 1 ~= slot then print("stage.lua: slot " .. slot .. " is out of order") end
end

-- Builds the layer table, loads the sounds and the marker, and installs the
-- key handler. Call it once, right after InitWindow.
function Stage.Setup()
  Stage.background = CreateLayer(LoadTexImage("pic/sky.png"))
  AddSlot(Stage.background, Stage.BACKGROUND)

  -- Slots that start empty get a layer for a moment, then lose it again.
  tessa = CreateLayer(LoadTexImage("pic/tessa.png"))
  AddSlot(tessa, Stage.INCOMING)
  AddSlot(tessa, Stage.CHARACTER)    -- slot 1 is left empty by this
  DeleteLayer(Stage.CHARACTER)       -- she enters later, with an effect
  OffsetLayer(tessa, 270, 40)
  local w, h = GetLayerSize(tessa)
  SetTransformCenter(tessa, w / 2, h / 2, 0)   -- scale and turn about her middle

  Stage.title = CreateLayer(LoadTexImage(1, 1))     -- replaced by Stage.ShowTitle
  AddSlot(Stage.title, Stage.TITLE)
  Stage.subtitle = CreateLayer(LoadTexImage(1, 1))
  AddSlot(Stage.subtitle, Stage.SUBTITLE)

  Stage.box = CreateLayer(LoadTexImage("pic/box.png"))
  OffsetLayer(Stage.box, Stage.BOX_X, Stage.BOX_Y)
  AddSlot(Stage.box, Stage.BOX)

  -- A placeholder until the first Stage.OpenWindow.
  Stage.window = CreateLayer(LoadTexImage(1, 1))
  AddSlot(Stage.window, Stage.WINDOW)

  -- The marker picture holds four 16 x 16 frames side by side.
  marker = CreateLayer(LoadTexImage("pic/marker.png"))
  SetLayerISize(marker, 0, 0, 16, 16)
  VisibleLayer(marker, false)
  AddSlot(marker, Stage.MARKER)

  -- Music streams from its file; the chime is a chunk on a channel of its own.
  theme = CreateMusic("bgm/theme.wav")
  chime = CreateChunk("snd/chime.wav")
  SetChannelToChunkData(chime, 1)
  SetSoundDataVolume(chime, 96)

  -- H, or the right mouse button, hides and shows the text; S saves, L loads.
  Stage.keys = CreateEventHandler()
  SetEventHandlerFunc(Stage.keys, 0, "Stage.OnKey")
  SetEventHandlerFunc(Stage.keys, 2, "Stage.OnButton")
  SetEventHandler(Stage.keys)
end

-- Draws a line of text into a layer with CreateStringImage and centres it
-- across the window at height y. Note the colour order for string images:
-- blue, green, red.
function Stage.TextLayer(font_file, size, blue, green, red, text, y)
  local font = CreateNewFont(font_file, size)
  ChgFontColor(font, blue, green, red)
  local image = CreateStringImage(font, text)
  ReleaseNewFont(font)                 -- the image keeps what was drawn
  local w = GetTexImageInf(image)
  local layer = CreateLayer(image)
  ReleaseTexImage(image)               -- the layer keeps the picture
  local window_width = GetWindowSize()
  OffsetLayer(layer, (window_width - w) / 2, y)
  return layer
end

-- The title screen: a title and a subtitle, the title growing into place.
function Stage.ShowTitle()
  local title = Stage.TextLayer("DejaVuSans-Bold.ttf", 72, 120, 60, 30, "Tessel", 120)
  local subtitle = Stage.TextLayer("VL-PGothic-Regular.ttf", 24, 90, 50, 30,
                                   "a visual-novel runtime · ビジュアルノベル", 215)
  LayerSet(title, Stage.TITLE)
  LayerSet(subtitle, Stage.SUBTITLE)
  ReleaseLayer(Stage.title)            -- the placeholders
  ReleaseLayer(Stage.subtitle)
  Stage.title, Stage.subtitle = title, subtitle
  local w, h = GetLayerSize(title)
  SetTransformCenter(title, w / 2, h / 2, 0)
  EffectCopy(title, 1000, 900, true, "", "Stage.GrowStep", "")
  ChgLayerAlpha(subtitle, 0)
  EffectCopy(subtitle, 1, 900, true)   -- kind 1: fade in
end

-- One step of a scripted effect: t runs from 0 to duration (milliseconds).
function Stage.GrowStep(layer, duration, t)
  local k = t / duration
  ScaleLayer(layer, 0.4 + 0.6 * k, 0.4 + 0.6 * k, 1)
  ChgLayerAlpha(layer, k)
end

-- Fades the title out; Stage.ReleaseTitle frees it once the fade is over.
function Stage.HideTitle(ms)
  EffectCopy(Stage.title, 2, ms, true)   -- kind 2: fade out
  EffectCopy(Stage.subtitle, 2, ms, true)
end

function Stage.ReleaseTitle()
  ReleaseLayer(Stage.title)
  ReleaseLayer(Stage.subtitle)
  Stage.title, Stage.subtitle = nil, nil
end

-- Opens a message window with the given fonts in the window slot, in place
-- of the one before it, and connects it to the story. Each language has its
-- own fonts, hence its own window.
function Stage.OpenWindow(font_file, size, ruby_size, red, green, blue, speed)
  local font = CreateNewFont(font_file, size)
  ChgFontColor(font, red, green, blue)           -- red, green, blue in a window
  local ruby = CreateNewFont(font_file, ruby_size)
  ChgFontColor(ruby, 190, 220, 255)
  local window = CreateScenarioLayer(Stage.TEXT_W, Stage.TEXT_H, font, ruby)
  OffsetLayer(window, Stage.TEXT_X, Stage.TEXT_Y)
  ChgMesWait(window, speed)                      -- milliseconds per character
  SetMesKeywaitFunc(window, "Marker.begin", "Marker.tick", "Marker.finish", 20)

  -- The old window leaves the story and the table; then it is released.
  -- (The first time, the old one is the plain placeholder of Stage.Setup:
  -- message-window commands given a plain layer complain.)
  if Stage.has_window then DisableScenarioLayer(Stage.window) end
  Stage.has_window = true
  LayerSet(window, Stage.WINDOW)
  ReleaseLayer(Stage.window)
  Stage.window = window
  EnableScenarioLayer(window)
  VisibleLayer(window, not Stage.hidden)
end

-- Cross-fades to another background: the new picture fades in over the old
-- one in the slot above it, then takes the old one's slot. The story pauses
-- for the fade, so the text starts on the finished picture.
function Stage.ChangeBackground(file, ms)
  Stage.incoming = CreateLayer(LoadTexImage(file))
  ChgLayerAlpha(Stage.incoming, 0)
  LayerSet(Stage.incoming, Stage.INCOMING)
  EffectCopy(Stage.incoming, 1000, ms, true, "", "Stage.FadeStep", "Stage.FadeDone")
  MesWndWait(Stage.window, ms)
end

function Stage.FadeStep(layer, duration, t)
  ChgLayerAlpha(layer, t / duration)
end

function Stage.FadeDone()
  ReleaseLayer(Stage.background)                 -- also takes it out of slot 0
  LayerSet(Stage.incoming, Stage.BACKGROUND)     -- slot 1 is empty again
  Stage.background, Stage.incoming = Stage.incoming, nil
end

-- Tessa spins in: a scripted effect turns her a full circle while she grows.
function Stage.ShowCharacter(ms)
  ScaleLayer(tessa, 0.2, 0.2, 1)
  LayerSet(tessa, Stage.CHARACTER)
  EffectCopy(tessa, 1000, ms, true, "", "Stage.SpinStep", "Stage.SpinDone")
end

function Stage.SpinStep(layer, duration, t)
  local k = t / duration
  local eased = 1 - (1 - k) * (1 - k)            -- fast, then slowing down
  RotateLayer(layer, 0, 0, -360 * (1 - eased))
  ScaleLayer(layer, 0.2 + 0.8 * eased, 0.2 + 0.8 * eased, 1)
  ChgLayerAlpha(layer, k)
end

function Stage.SpinDone()
  RotateLayer(tessa, 0, 0, 0)
  ScaleLayer(tessa, 1, 1, 1)
end

-- Hides or shows the text: the panel, the window and the marker. A hidden
-- window ignores Return and clicks, so the story waits until it is back.
function Stage.ToggleText()
  Stage.hidden = not Stage.hidden
  VisibleLayer(Stage.box, not Stage.hidden)
  VisibleLayer(Stage.window, not Stage.hidden)
  if Stage.hidden then
    VisibleLayer(marker, false)
    Marker.shown = nil   -- so the next tick shows it again
  end
  if Stage.hidden then print("[demo] text hidden") else print("[demo] text shown") end
end

function Stage.OnKey(key)
  if key == 104 then Stage.ToggleText() end      -- 104: the H key
  if key == 115 then Stage.QuickSave() end       -- 115: S
  if key == 108 then Stage.QuickLoad() end       -- 108: L
end

-- Saving. A save holds the whole game: where the story is, the pictures,
-- the sounds and every global these scripts set (Stage, Marker, tessa...).
-- A save made in a key handler resumes at the same key wait; one made in a
-- script block resumes after that block, so SaveGame comes last in it.
function Stage.QuickSave()
  if SaveGame("quick") then print("[demo] saved to the quick slot") end
end

-- The load takes effect when this handler has returned, before the next
-- frame: nothing after LoadGame here sees the loaded game.
function Stage.QuickLoad()
  if LoadGame("quick") then
    print("[demo] loaded the quick save")
  else
    print("[demo] there is no quick save to load yet: press S first")
  end
end

-- Each chapter starts with a save to the "auto" slot, named for the chapter.
function Stage.AutoSave(title)
  SaveGame("auto", title)
end

function Stage.OnButton(button, x, y)
  if button == 3 then Stage.ToggleText() end     -- 3: the right mouse button
end

-- The key-wait marker: a small diamond after the last character that turns
-- (one frame of its picture after another) and bobs while the story waits.
Marker = { waits = 0, frames = 0 }
Marker.BOB = { 0, 2, 3, 2 }   -- how far down it sits in each of its 4 poses

-- `begin` gets the previous wait's position, so only count here.
function Marker.begin(x, y)
  Marker.waits = Marker.waits + 1
  Marker.frames = 0
  Marker.shown = nil
end

-- Called on every frame of the wait: x, y is the point after the last
-- character, at the top of its line; ms is the time since the wait began.
-- It changes the layer only when the pose changes (twice a second):
-- with --power-save, frames in which no command ran are not drawn again.
function Marker.tick(x, y, ms)
  local pose = math.mod(math.floor(ms / 500), 4)
  local key = pose .. ":" .. x .. ":" .. y
  if key ~= Marker.shown then
    Marker.shown = key
    SetLayerISize(marker, 16 * pose, 0, 16, 16)
    OffsetLayer(marker, x + 2, y + 4 + Marker.BOB[pose + 1])
    VisibleLayer(marker, true)
  end
  Marker.frames = Marker.frames + 1
  -- Once the page has been on screen for a few frames, say so in the log:
  -- it tells you (and the demo's automatic test) that the page is complete.
  if Marker.frames == 3 then print("[demo] key wait " .. Marker.waits) end
end

function Marker.finish()
  VisibleLayer(marker, false)
  Marker.shown = nil
end
