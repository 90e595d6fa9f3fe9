# SPDX-License-Identifier: GPL-3.0-or-later
# The add-on in a real Blender, headless:
#   blender -b --factory-startup --python-exit-code 1 --python blender_import.py -- DIR
# DIR holds what run-blender-test.sh made with the zorvane command line: a
# spoken line (line.wav) broken down at 24, 30 and 23.976 fps
# (line-24.json ...) and a drum loop (loop.wav) with its beats at the same
# rates (loop-24.json ...). Markers and mouth keys must land on the frames
# Zorvane itself gives at the scene's rate, whatever rate the file was made
# at; a damaged file must leave the scene exactly as it was.

import copy
import json
import os
import sys
import traceback

import bpy

ARGS = sys.argv[sys.argv.index("--") + 1:]
DIR = ARGS[0]
if len(ARGS) > 1:
    # Installed as a user installs it: the zip through Preferences > Add-ons.
    bpy.ops.preferences.addon_install(filepath=ARGS[1], overwrite=True)
    bpy.ops.preferences.addon_enable(module="zorvane_blender")
else:
    sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    import zorvane_blender
    zorvane_blender.register()
PRESTON_BLAIR = ["AI", "E", "O", "U", "etc", "L", "WQ", "MBP", "FV", "rest"]
NTSC_BASE = 1.001
failures = []


def load(name):
    with open(os.path.join(DIR, name), encoding="utf-8") as f:
        return json.load(f)


def check(what, got, wanted):
    if got != wanted:
        failures.append("%s:\n  got    %r\n  wanted %r" % (what, got, wanted))


def fresh_scene(name, fps, base=1.0, first=1):
    scene = bpy.data.scenes.new(name)
    scene.render.fps, scene.render.fps_base = fps, base
    scene.frame_start, scene.frame_end = first, first + 2000
    rig = bpy.data.objects.new(name + " rig", None)
    scene.collection.objects.link(rig)
    return scene, rig


def run(scene, obj, name, **options):
    with bpy.context.temp_override(scene=scene, active_object=obj, view_layer=scene.view_layers[0]):
        return bpy.ops.import_anim.zorvane(filepath=os.path.join(DIR, name), **options)


def markers(scene):
    return sorted((m.frame, m.name) for m in scene.timeline_markers)


def curve(obj, prop):
    anim = obj.animation_data
    return anim.action.fcurves.find('["%s"]' % prop) if anim and anim.action else None


def keys(obj, prop):
    fc = curve(obj, prop)
    return [(int(k.co[0]), int(k.co[1])) for k in fc.keyframe_points] if fc else None


def word_frames(doc, first):
    return sorted((first + w["frame"], w["text"]) for w in doc["words"])


def snapshot(scene):
    """Everything an import may touch."""
    state = {"markers": markers(scene), "data": (len(bpy.data.objects), len(bpy.data.actions), len(bpy.data.sounds)),
             "active": scene.view_layers[0].objects.active}
    for obj in scene.objects:
        props = {k: (obj[k] if isinstance(obj[k], (int, float, str)) else repr(obj[k])) for k in obj.keys()}
        fcs = obj.animation_data.action.fcurves if obj.animation_data and obj.animation_data.action else []
        state[obj.name] = (props, sorted((fc.data_path, tuple(tuple(k.co) for k in fc.keyframe_points)) for fc in fcs))
    sed = scene.sequence_editor
    state["strips"] = sorted((s.name, s.channel, s.frame_start) for s in sed.sequences_all) if sed else None
    return state


def breakdown_lands_on_its_own_frames():
    for rate_name, fps, base in (("24", 24, 1.0), ("23976", 24, NTSC_BASE)):
        doc = load("line-%s.json" % rate_name)
        scene, rig = fresh_scene("own " + rate_name, fps, base)
        check("import at " + rate_name, run(scene, rig, "line-%s.json" % rate_name), {'FINISHED'})
        check("word markers at " + rate_name, markers(scene), word_frames(doc, 1))
        wanted = [(1 + m["frame"], PRESTON_BLAIR.index(m["shape"]) + 1) for m in doc["mouths"]]
        check("mouth keys at " + rate_name, keys(rig, "mouth"), wanted)
        fc = curve(rig, "mouth")
        check("constant keys at " + rate_name, {k.interpolation for k in fc.keyframe_points}, {'CONSTANT'})
        # Held between keys: the frame before each change still shows the previous shape.
        held = [int(fc.evaluate(f - 1)) for f, _ in wanted[1:]]
        check("held shapes at " + rate_name, held, [v for _, v in wanted[:-1]])
        strips = [(s.type, int(s.frame_start), os.path.basename(s.sound.filepath)) for s in scene.sequence_editor.sequences_all]
        check("sound strip at " + rate_name, strips, [('SOUND', 1, "line.wav")])
        if len(doc["words"]) < 4 or len(doc["mouths"]) < 6:
            failures.append("the breakdown at %s is too thin to test: %d words" % (rate_name, len(doc["words"])))


def breakdown_lands_on_the_scenes_frames_at_another_rate():
    made = load("line-24.json")
    for rate_name, fps, base, num, den in (("30", 30, 1.0, 30, 1), ("23976", 24, NTSC_BASE, 24000, 1001)):
        # The scene starts on frame 101: frames count from its first.
        scene, rig = fresh_scene("24 into " + rate_name, fps, base, first=101)
        check("import 24 into " + rate_name, run(scene, rig, "line-24.json"), {'FINISHED'})
        check("words of 24 at " + rate_name, markers(scene), word_frames(load("line-%s.json" % rate_name), 101))
        # Each scene frame shows the last shape begun on or before it; a
        # shape begins on the frame holding its first 24 fps frame's start.
        fc = curve(rig, "mouth")
        starts = [(m["frame"] * num // (24 * den), m["shape"]) for m in made["mouths"]]
        last = max(f for f, _ in starts) + 3
        shown = [int(fc.evaluate(101 + k)) for k in range(last)]
        wanted = [PRESTON_BLAIR.index([s for f, s in starts if f <= k][-1]) + 1 for k in range(last)]
        check("mouths of 24 shown at " + rate_name, shown, wanted)


def beats_land_on_the_scenes_frames():
    for made_at in ("24", "30"):
        for rate_name, fps, base in (("24", 24, 1.0), ("30", 30, 1.0), ("23976", 24, NTSC_BASE)):
            scene, rig = fresh_scene("beats %s at %s" % (made_at, rate_name), fps, base)
            result = run(scene, rig, "loop-%s.json" % made_at, beat_markers='BEATS',
                         sound_path=os.path.join(DIR, "loop.wav"))
            check("beats import", result, {'FINISHED'})
            truth = load("loop-%s.json" % rate_name)["beats"]
            wanted = sorted((1 + b["frame"], "%d.%d" % (b["bar"], b["beat"])) for b in truth)
            check("beats of %s at %s" % (made_at, rate_name), markers(scene), wanted)
            check("no mouth keys from beats", rig.animation_data, None)
            check("loop strip", [s.sound.filepath for s in scene.sequence_editor.sequences_all],
                  [os.path.join(DIR, "loop.wav")])
    scene, rig = fresh_scene("bars", 24)
    run(scene, rig, "loop-24.json", add_sound=False)
    bars = sorted((1 + b["frame"], "Bar %d" % b["bar"]) for b in load("loop-24.json")["beats"] if b["beat"] == 1)
    check("bar markers", markers(scene), bars)
    check("no sound asked for", scene.sequence_editor, None)
    write("not-a-sound.wav", "text")
    scene, rig = fresh_scene("not a sound", 24)
    check("a file that is no sound", run(scene, rig, "loop-24.json", sound_path=os.path.join(DIR, "not-a-sound.wav")),
          {'FINISHED'})
    check("no strip of a file that is no sound", scene.sequence_editor, None)
    if len(bars) < 4:
        failures.append("the loop has too few bars to test: %d" % len(bars))


def write(name, text):
    with open(os.path.join(DIR, name), "w", encoding="utf-8") as f:
        f.write(text)


def damaged_files_leave_the_scene_as_it_was():
    scene, rig = fresh_scene("damaged", 24)
    run(scene, rig, "line-24.json")
    good = open(os.path.join(DIR, "line-24.json"), encoding="utf-8").read()
    doc = load("line-24.json")
    newer = dict(doc, version=2)
    late = copy.deepcopy(doc)
    late["words"][-1]["start"] = 99999.0
    write("bad-cut.json", good[: len(good) * 2 // 3])
    write("bad-version.json", json.dumps(newer))
    write("bad-nan.json", good.replace('"start": ', '"start": NaN, "x": ', 1))
    write("bad-late.json", json.dumps(late))
    write("bad-type.json", good.replace('"mouths": [', '"mouths": [7, ', 1))
    with open(os.path.join(DIR, "bad-binary.json"), "wb") as f:
        f.write(bytes(range(256)) * 4)
    before = snapshot(scene)
    for name, said in (("bad-cut.json", "not JSON"), ("bad-version.json", "version 2"), ("bad-nan.json", "NaN"),
                       ("bad-late.json", "outside Blender's frames"), ("bad-type.json", "mouths[0]"),
                       ("bad-binary.json", "UTF-8"), ("missing.json", "Cannot open")):
        try:
            run(scene, rig, name)
            failures.append("%s was imported" % name)
        except RuntimeError as e:
            if said not in str(e) or name.split(".")[0] not in str(e):
                failures.append("%s told: %s (wanted %r and the file's name)" % (name, e, said))
        check("scene after " + name, snapshot(scene), before)


def a_failure_part_way_takes_back_what_was_done():
    # The sound strip's step fails once everything else is in: on a fresh
    # object, and on one that holds an earlier import's keys.
    from zorvane_blender.scene_changes import SceneChanges
    add_sound = SceneChanges.add_sound

    def failing_add_sound(self, path, first_frame):
        add_sound(self, path, first_frame)
        raise OSError("the disk went away")
    for earlier in (None, "line-30.json", "no active object"):
        scene, rig = fresh_scene("part-way after %s" % earlier, 24)
        if earlier == "line-30.json":
            run(scene, rig, earlier, add_sound=False)
            rig["mouth"] = 4
        before = snapshot(scene)
        SceneChanges.add_sound = failing_add_sound
        try:
            run(scene, None if earlier == "no active object" else rig, "line-24.json")
            failures.append("a failure part-way was imported")
        except RuntimeError as e:
            if "disk went away" not in str(e):
                failures.append("a failure part-way told: %s" % e)
        finally:
            SceneChanges.add_sound = add_sound
        check("scene after a failure part-way (earlier: %s)" % earlier, snapshot(scene), before)
    # A property of the user's that is not a number is not overwritten.
    scene, rig = fresh_scene("text property", 24)
    rig["mouth"] = "keep me"
    before = snapshot(scene)
    try:
        run(scene, rig, "line-24.json")
        failures.append("a text property was overwritten")
    except RuntimeError as e:
        if "'mouth'" not in str(e):
            failures.append("text property told: %s" % e)
    check("scene with a text property", snapshot(scene), before)


def importing_again_replaces_and_adds_nothing_twice():
    scene, rig = fresh_scene("again", 24)
    run(scene, rig, "line-24.json")
    first = snapshot(scene)
    run(scene, rig, "line-24.json")
    check("second import", snapshot(scene), first)


def characters_and_no_active_object():
    doc = load("line-24.json")
    half = len(doc["words"]) // 2
    split = doc["mouths"][len(doc["mouths"]) // 2]["frame"]
    to_ah = {s: "ABCDEFGHX"[i % 9] for i, s in enumerate(PRESTON_BLAIR)}
    two = {"sound": doc["sound"], "sampleRate": doc["sampleRate"], "frameRate": doc["frameRate"], "characters": [
        {"name": "Ann", "mouthSet": "preston-blair", "words": doc["words"][:half],
         "mouths": [m for m in doc["mouths"] if m["frame"] < split]},
        {"name": "Bob Smith", "mouthSet": "A-H", "words": doc["words"][half:],
         "mouths": [dict(m, shape=to_ah[m["shape"]]) for m in doc["mouths"] if m["frame"] >= split]}]}
    write("two.json", json.dumps(two))
    scene, _ = fresh_scene("two", 24)
    check("two characters", run(scene, None, "two.json"), {'FINISHED'})
    made = [o for o in scene.objects if o.name.startswith("Zorvane Mouths")]
    check("an empty for the mouths", len(made), 1)
    if made:
        obj = made[0]
        check("Ann's keys", keys(obj, "mouth_Ann"),
              [(1 + m["frame"], PRESTON_BLAIR.index(m["shape"]) + 1) for m in two["characters"][0]["mouths"]])
        check("Bob's keys", keys(obj, "mouth_Bob_Smith"),
              [(1 + m["frame"], "ABCDEFGHX".index(m["shape"]) + 1) for m in two["characters"][1]["mouths"]])
    wanted = sorted([(1 + w["frame"], "Ann: " + w["text"]) for w in doc["words"][:half]] +
                    [(1 + w["frame"], "Bob Smith: " + w["text"]) for w in doc["words"][half:]])
    check("characters' word markers", markers(scene), wanted)


def it_is_on_the_import_menu():
    names = [getattr(f, "__name__", "") for f in bpy.types.TOPBAR_MT_file_import._dyn_ui_initialize()]
    check("on File > Import", "menu_import" in names, True)
    check("operator", bpy.ops.import_anim.zorvane.get_rna_type().name, "Import Zorvane Timing")


for case in (it_is_on_the_import_menu, breakdown_lands_on_its_own_frames, breakdown_lands_on_the_scenes_frames_at_another_rate,
             beats_land_on_the_scenes_frames, damaged_files_leave_the_scene_as_it_was,
             a_failure_part_way_takes_back_what_was_done, importing_again_replaces_and_adds_nothing_twice,
             characters_and_no_active_object):
    count = len(failures)
    try:
        case()
    except Exception:
        failures.append("%s raised:\n%s" % (case.__name__, traceback.format_exc()))
    print("%s %s" % ("ok  " if len(failures) == count else "FAIL", case.__name__))

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("All Blender import checks passed")
