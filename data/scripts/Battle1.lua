-- The scene script of every sea scene: the world map and the sea battles. The
-- battle manager attaches it once the scene is loaded ("Init"), calls "PostInit"
-- when the scene's ships stand where they belong, and "DeInit" before it is
-- replaced by the next scene's instance.

-- Where the scene was started (the game location: 0 the world map, 2 a sea battle).
SceneLocation = -1
-- True from PostInit to DeInit: the scene is ready to play.
SceneReady = false

function Init()
  SceneLocation = GameManager.GetPlayerLocation()
  SceneReady = false
  print("Battle1: scene set up at location " .. SceneLocation)
end

function PostInit()
  SceneReady = true
end

function DeInit()
  SceneReady = false
  print("Battle1: scene left")
end
